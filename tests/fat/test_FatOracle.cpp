// mtools and dosfstools as the oracle: images they made list the same names as mdir, and
// every file we extract equals what mcopy extracts.
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

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) lines.push_back(line);
    return lines;
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

// Lists, saves every directory with Save All and compares names with mdir and bytes with mcopy.
void CompareWithMtools(const std::string& image, std::int64_t offset, const std::string& title) {
    ExplorerRig rig;
    ASSERT_TRUE(rig.Open(image, offset)) << rig.MessageTitles();
    const std::string mimage = Quote(offset ? image + "@@" + std::to_string(offset) : image);
    const std::string ours = TempDir("oracle-ours-" + title);
    std::vector<std::string> paths;
    int saved = 0;
    Walk(rig.explorer, "::/", paths, [&] {
        saved += rig.explorer.SaveAllFiles(ours).Saved;
        // The 8.3 names of each directory are the ones mdir prints.
        const std::string dir = rig.explorer.Path().PathText();
        std::set<std::string> theirs;
        for (const std::string& line :
             Lines(RunCommand("mdir -a -i " + mimage + " " + Quote("::" + dir)))) {
            if (line.size() < 12 || line[0] == ' ' || line.rfind("Directory for", 0) == 0 ||
                line == "No files")
                continue;
            const std::string base = TrimBlanks(line.substr(0, 8));
            const std::string ext = TrimBlanks(line.substr(9, 3));
            theirs.insert(UpperCase(ext.empty() ? base : base + "." + ext));
        }
        std::set<std::string> mine;
        for (const ListLine& line : rig.explorer.List().Lines)
            if (line.Row != 0 || rig.explorer.Path().Depth() != 0) // not the root's own "." row
                mine.insert(EntryName(rig.explorer.Table().Row(line.Row)));
        EXPECT_EQ(mine, theirs) << dir;
    });
    const std::vector<std::string> expected = Lines(RunCommand("mdir -b -/ -i " + mimage + " ::"));
    EXPECT_EQ(std::multiset(paths.begin(), paths.end()),
              std::multiset(expected.begin(), expected.end()));

    const std::string theirs = TempDir("oracle-theirs-" + title);
    int status = 1;
    RunCommand("mcopy -s -n -i " + mimage + " '::*' " + Quote(theirs) + " 2>&1", &status);
    ASSERT_EQ(status, 0);
    const auto mine = HostTree(ours + "/" + ImageFolderName(fs::path(image).filename().string()));
    const auto reference = HostTree(theirs);
    EXPECT_EQ(static_cast<int>(reference.size()), saved);
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

TEST(FatOracle, PartitionedDiskAtSector63) {
    REQUIRE_MTOOLS();
    const std::string disk = OspreyImages() + "/mbr-disk.img";
    std::string problem;
    const auto entries = ReadPartitionTableOf(disk, 0, problem);
    ASSERT_TRUE(entries) << problem;
    EXPECT_GOLDEN("fat/mbr_partitions", PartitionText(*entries));
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
