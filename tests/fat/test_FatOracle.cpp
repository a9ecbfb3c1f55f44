// mtools and dosfstools as the oracle: images they made, and real images from other machines
// and tools, list the same names as mdir, and every file we extract equals what mcopy extracts.
#include "ContainerFiles.h"
#include "FatTestSupport.h"
#include "FileTypes.h"
#include "Golden.h"
#include "LongName.h"
#include "Partitions.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

namespace {

// Every file and directory below the directory on show, as "::/path" (directories with a
// trailing "/"), in the names a user sees; calls visit in every directory.
void Walk(FatExplorer& explorer, const std::string& prefix, std::vector<std::string>& paths,
          const std::function<void()>& visit) {
    visit();
    std::vector<int> directories;
    for (const ListLine& line : explorer.List().Lines) {
        const DirEntry& row = explorer.Table().Row(line.Row);
        const std::string name = TrimBlanks(row.Name);
        if (row.IsDirectory() && (name == "." || name == "..")) continue;
        paths.push_back(prefix + DefaultFileName(row) + (row.IsDirectory() ? "/" : ""));
        if (row.IsDirectory()) directories.push_back(line.Row);
    }
    for (int i : directories) {
        const std::string name = DefaultFileName(explorer.Table().Row(i));
        ASSERT_TRUE(explorer.EnterDirectory(i));
        Walk(explorer, prefix + name + "/", paths, visit);
        ASSERT_TRUE(explorer.EnterDirectory(*explorer.FindRow("..")));
    }
}

// The tree below a host folder: relative path -> bytes.
std::map<std::string, std::vector<std::uint8_t>> HostTree(const std::string& folder) {
    std::map<std::string, std::vector<std::uint8_t>> tree;
    for (const auto& e : fs::recursive_directory_iterator(folder))
        if (e.is_regular_file())
            tree[fs::relative(e.path(), folder).string()] = ReadHostFile(e.path().string());
    return tree;
}

#define REQUIRE_MTOOLS()                                                                           \
    if (!HaveTool("mdir") || !HaveTool("mcopy")) GTEST_SKIP() << "mtools is not installed"

// Lists every directory and compares its names with mdir, then saves the whole tree with Save
// All and compares it with what mcopy -s extracts, byte for byte. Names in notCompared (the
// last component of a path, on either side) are left out where the peers cannot name them.
// The peers read flat, the image of the same disk when image is in another container.
void CompareWithMtools(const std::string& image, std::int64_t offset, const std::string& title,
                       const std::set<std::string>& notCompared = {},
                       const std::string& container = "", const std::string& flat = "") {
    ExplorerRig rig;
    rig.opener.Choices().container = container;
    ASSERT_TRUE(rig.Open(image, offset)) << rig.MessageTitles();
    const std::string peer = flat.empty() ? image : flat;
    const std::string mimage = Quote(offset ? peer + "@@" + std::to_string(offset) : peer);
    const auto compared = [&](const std::string& path) {
        return !notCompared.count(path.substr(path.find_last_of('/') + 1));
    };
    std::vector<std::string> paths;
    Walk(rig.explorer, "::/", paths, [&] {
        // The 8.3 names of each directory are the ones mdir prints.
        const std::string dir = rig.explorer.Path().PathText();
        std::set<std::string> theirs;
        for (const std::string& line : SplitLines(
                 RunCommand("mdir -a -i " + mimage + " " + Quote("::" + dir) + " 2>/dev/null"),
                 true)) {
            if (line.size() < 12 || line[0] == ' ' || line.rfind("Directory for", 0) == 0 ||
                line == "No files")
                continue;
            const std::string base = TrimBlanks(line.substr(0, 8));
            const std::string ext = TrimBlanks(line.substr(9, 3));
            const std::string name = UpperCase(ext.empty() ? base : base + "." + ext);
            if (compared(name)) theirs.insert(name);
        }
        std::set<std::string> mine;
        for (const ListLine& line : rig.explorer.List().Lines)
            if ((line.Row != 0 || rig.explorer.Path().Depth() != 0) && // not the root's "." row
                compared(EntryName(rig.explorer.Table().Row(line.Row))))
                mine.insert(EntryName(rig.explorer.Table().Row(line.Row)));
        EXPECT_EQ(mine, theirs) << dir;
    });
    std::erase_if(paths, [&](const std::string& p) { return !compared(p); });
    std::vector<std::string> expected =
        SplitLines(RunCommand("mdir -b -/ -i " + mimage + " :: 2>/dev/null"), true);
    std::erase_if(expected, [&](const std::string& p) { return !compared(p); });
    EXPECT_EQ(std::multiset(paths.begin(), paths.end()),
              std::multiset(expected.begin(), expected.end()));

    const std::string ours = TempDir("oracle-ours-" + title);
    const SaveAllResult saved = rig.explorer.SaveAllTree(ours, rig.sink);
    const std::string theirs = TempDir("oracle-theirs-" + title);
    // mcopy fails on a volume it refuses or that holds nothing: it then extracts nothing.
    RunCommand("mcopy -s -n -i " + mimage + " '::*' " + Quote(theirs) + " 2>&1");
    auto mine = HostTree(ours + "/" + ImageFolderName(fs::path(image).filename().string()));
    EXPECT_EQ(static_cast<int>(mine.size()), saved.Saved);
    auto reference = HostTree(theirs);
    std::erase_if(mine, [&](const auto& file) { return !compared(file.first); });
    std::erase_if(reference, [&](const auto& file) { return !compared(file.first); });
    EXPECT_EQ(mine.size(), reference.size());
    for (const auto& [path, bytes] : reference)
        EXPECT_TRUE(mine.count(path) && mine.at(path) == bytes) << path;
}

} // namespace

TEST(FatOracle, Fat12FloppyListsAndExtractsLikeMtools) {
    REQUIRE_MTOOLS();
    CompareWithMtools(OspreyImages() + "/fat12.img", 0, "fat12");
}

// The directory of 600 long names takes more than 1023 rows.
TEST(FatOracle, Fat16WithLargeDirectoriesAndFiles) {
    REQUIRE_MTOOLS();
    ExplorerRig rig;
    ASSERT_TRUE(rig.Open(OspreyImages() + "/fat16.img"));
    EXPECT_EQ(rig.explorer.Volume().FatType(), 16);
    ASSERT_TRUE(rig.explorer.EnterDirectory(*rig.explorer.FindRow("many files")));
    EXPECT_GT(rig.explorer.Table().Count(), 1023);
    EXPECT_EQ(rig.explorer.Table().FileCount(), 600);
    CompareWithMtools(OspreyImages() + "/fat16.img", 0, "fat16");
}

// The oracle floppy made by dsktrans into ImageDisk, Teledisk and CopyQM files:
// each lists and extracts as mdir and mcopy do on the flat floppy, detected and named.
TEST(FatOracle, FloppyInEveryContainer) {
    REQUIRE_MTOOLS();
    const std::string flat = OspreyImages() + "/fat12.img";
    const auto files =
        WriteContainers(ReadHostFile(flat), TempDir("osprey-containers"), 512, 18, 2);
    if (files.size() < 4) GTEST_SKIP() << "dsktrans (libdsk-utils) is not installed";
    for (const ContainerFile& file : files) {
        CompareWithMtools(file.path, 0, "detected-" + file.type, {}, "", flat);
        CompareWithMtools(file.path, 0, "named-" + file.type, {}, file.type, flat);
    }
}

TEST(FatOracle, PartitionedDiskAtSector63) {
    REQUIRE_MTOOLS();
    const std::string disk = OspreyImages() + "/mbr-disk.img";
    std::string problem;
    const auto entries = ReadPartitionTableOf(disk, 0, problem);
    ASSERT_TRUE(entries) << problem;
    CompareWithMtools(disk, (*entries)[0].ByteOffset(), "mbr");
}

// Volumes mkfs.fat made at the thresholds (the refusal of 65520 clusters is checked by the
// window and command tests). mkfs.fat counts 4080 clusters as FAT12; this count makes it FAT16.
TEST(FatOracle, ThresholdVolumesMadeByMkfsFat) {
    const std::string out = TempDir("oracle-thresholds");
    for (const auto& [clusters, type] :
         {std::pair{4079, 12}, std::pair{4080, 16}, std::pair{65519, 16}}) {
        const std::string name = "clusters-" + std::to_string(clusters);
        ExplorerRig rig;
        ASSERT_TRUE(rig.Open(OspreyImages() + "/" + name + ".img"));
        EXPECT_EQ(rig.explorer.Volume().FatType(), type) << name;
        if (clusters == 4080) continue; // its FAT is FAT12's
        ASSERT_TRUE(rig.explorer.SaveRow(*rig.explorer.FindRow("T.TXT"), out + "/t").Saved());
        const std::vector<std::uint8_t> t = ReadHostFile(out + "/t");
        EXPECT_EQ(std::string(t.begin(), t.end()), "threshold " + std::to_string(clusters) + "\n");
    }
}

// Real volumes from other machines and tools (the dosfstools ones are damaged on purpose, and
// kept as xxd dumps): each listed and saved whole like mtools does.
TEST(FatOracle, RealImagesListAndExtractLikeMtools) {
    REQUIRE_MTOOLS();
    if (!HaveTool("icat") || !HaveTool("xxd")) GTEST_SKIP() << "sleuthkit or xxd is missing";
    const std::string real = RealImagesDir() + "/fat";
    if (!fs::is_directory(real)) GTEST_SKIP() << "no real images at " << real;
    const std::string rebuilt = TempDir("oracle-real");
    for (const auto& entry : fs::directory_iterator(real)) {
        std::string image = entry.path().string();
        if (entry.path().extension() == ".xxd") {
            image = rebuilt + "/" + entry.path().stem().string() + ".img";
            RunCommand("xxd -r " + Quote(entry.path().string()) + " " + Quote(image));
        } else if (entry.path().extension() != ".img") {
            continue;
        }
        SCOPED_TRACE(image);
        ExplorerRig probe;
        // FAT32 volumes are refused, as they must be.
        if (!probe.Open(image)) {
            EXPECT_EQ(probe.MessageTitles(), "Bad FAT type");
            continue;
        }
        const std::string title = entry.path().stem().string();
        // mtools shows 8.3 names that begin with a blank as blank, and extracts " AME1.BIN" as
        // ".BIN" and the name of blanks not at all.
        if (title.find("bad_names") != std::string::npos) {
            CompareWithMtools(image, 0, title, {"AME1.BIN", "", "_", ".BIN"});
            continue;
        }
        if (title.find("duplicate_names") == std::string::npos) {
            CompareWithMtools(image, 0, title);
            continue;
        }
        // mcopy writes both TEST.TXT over each other; sleuthkit reads each by its entry.
        CompareWithMtools(image, 0, title, {"TEST.TXT", "TEST~2.TXT"});
        const std::string folder = TempDir("oracle-duplicates");
        ASSERT_EQ(probe.explorer.SaveAllFiles(folder, probe.sink).Saved, 2);
        for (const auto& [name, inode] : {std::pair{"TEST.TXT", 4}, std::pair{"TEST~2.TXT", 5}}) {
            const std::string bytes =
                RunCommand("icat " + Quote(image) + " " + std::to_string(inode));
            const auto saved = ReadHostFile(folder + "/" + title + "/" + name);
            EXPECT_EQ(std::string(saved.begin(), saved.end()), bytes) << name;
        }
    }
}

// Deleted entries that mdel and mdeltree made on FAT12 and FAT16, and those of a real floppy:
// listed as fls -r -d lists them (with its "_" for the lost character), each recovered as icat
// recovers it and as it was copied in. Where a live file holds the first cluster now, icat gives
// that cluster alone, we refuse; like fls, we do not go into such a directory.
TEST(FatOracle, DeletedEntriesListAndRecoverLikeSleuthkit) {
    if (!HaveTool("fls") || !HaveTool("icat")) GTEST_SKIP() << "sleuthkit is not installed";
    struct Case {
        std::string image, src;
        int recovered, refused, asCopied; // -1: not known
    };
    std::vector<Case> cases;
    for (const std::string fat : {"12", "16"})
        cases.push_back({OspreyImages() + "/deleted" + fat + ".img",
                         OspreyImages() + "/deleted" + fat + "-src/", 5, 1, 4});
    const std::string real = RealImagesDir() + "/fat/8086tiny-fd.img";
    if (fs::exists(real)) cases.push_back({real, "", 2, 4, 0});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.image);
        std::map<std::string, std::string> inodes; // "r Folder/_NNER.TXT" -> its inode
        for (const std::string& line :
             SplitLines(RunCommand("fls -r -d " + Quote(c.image)), true)) {
            const std::size_t star = line.find("* "), tab = line.find(":\t");
            if (line.find("$OrphanFiles") == std::string::npos)
                inodes[line.substr(0, 1) + " " + line.substr(tab + 2)] =
                    line.substr(star + 2, tab - star - 2);
        }
        ExplorerRig rig;
        ASSERT_TRUE(rig.Open(c.image));
        rig.explorer.SetShowDeleted(true);
        const std::string out = TempDir("oracle-deleted");
        std::set<std::string> listed, flsListed;
        for (const auto& entry : inodes)
            flsListed.insert(entry.first);
        int recovered = 0, refused = 0, asCopied = 0;
        std::function<void(const std::string&)> walk = [&](const std::string& prefix) {
            std::vector<std::pair<int, std::string>> directories;
            for (const ListLine& line : rig.explorer.List().Lines) {
                const DirEntry& row = rig.explorer.Table().Row(line.Row);
                const std::string shortName = CasedShortName(row);
                if (shortName == "." || shortName == "..") continue;
                if (row.IsDirectory() &&
                    (!row.Deleted || rig.explorer.Volume().FatEntry(row.FirstCluster) == 0))
                    directories.emplace_back(line.Row, prefix + DefaultFileName(row) + "/");
                if (!row.Deleted) continue;
                const std::string name =
                    prefix + (row.LongName.empty() ? "_" + shortName.substr(1) : row.LongName);
                const std::string key = (row.IsDirectory() ? "d " : "r ") + name;
                listed.insert(key);
                if (row.IsDirectory()) continue;
                const std::string icat =
                    RunCommand("icat " + Quote(c.image) + " " + inodes.at(key));
                const RecoveryResult result =
                    rig.explorer.RecoverRow(line.Row, 'X', out + "/f", rig.sink);
                if (!c.src.empty())
                    EXPECT_EQ(!result.Plan.PassedOver.empty(), name == "Fragmented file.dat");
                if (!result.Plan.Problem.empty()) {
                    ++refused;
                    EXPECT_EQ(result.Plan.Problem, "its first cluster " +
                                                       std::to_string(row.FirstCluster) +
                                                       " is now held by a live file");
                    EXPECT_EQ(static_cast<std::int64_t>(icat.size()),
                              std::min(row.Size, rig.explorer.Volume().ClusterBytes()));
                    continue;
                }
                ASSERT_TRUE(result.Saved()) << name;
                ++recovered;
                const std::vector<std::uint8_t> bytes = ReadHostFile(out + "/f");
                EXPECT_EQ(std::string(bytes.begin(), bytes.end()), icat) << name;
                if (c.src.empty()) continue;
                // The original, its first character found among the files copied in.
                for (const auto& e : fs::directory_iterator(c.src + prefix)) {
                    const std::string host = e.path().filename().string();
                    if (host == RecoveredName(row, host[0]) ||
                        (row.LongName.empty() && host.substr(1) == shortName.substr(1))) {
                        EXPECT_EQ(bytes, ReadHostFile(e.path().string())) << name;
                        ++asCopied;
                    }
                }
            }
            for (const auto& [row, path] : directories) {
                ASSERT_TRUE(rig.explorer.EnterDirectory(row));
                walk(path);
                ASSERT_TRUE(rig.explorer.EnterDirectory(*rig.explorer.FindRow("..")));
            }
        };
        walk("");
        EXPECT_EQ(listed, flsListed);
        EXPECT_EQ(recovered, c.recovered);
        EXPECT_EQ(refused, c.refused);
        EXPECT_EQ(asCopied, c.asCopied);
    }
}
