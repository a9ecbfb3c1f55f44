// mtools and dosfstools as the oracle: images they made list the same names as mdir, and
// every file we extract equals what mcopy extracts.
#include "FatTestSupport.h"
#include "FileTypes.h"
#include "Golden.h"
#include "LongName.h"
#include "Partitions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

namespace {

bool IsDotRow(const DirEntry& row) {
    const std::string name = TrimBlanks(row.Name);
    return row.IsDirectory() && (name == "." || name == "..");
}

// Every file and directory below the directory on show, as "::/path" (directories with a
// trailing "/"), in the names a user sees; calls visit in every directory.
void Walk(FatExplorer& explorer, const std::string& prefix, std::vector<std::string>& paths,
          const std::function<void(const std::string&)>& visit) {
    visit(prefix);
    std::vector<int> directories;
    for (const ListLine& line : explorer.List().Lines) {
        const DirEntry& row = explorer.Table().Row(line.Row);
        if (IsDotRow(row)) continue;
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
    Walk(rig.explorer, "::/", paths, [&](const std::string&) {
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
    ASSERT_EQ(mine.size(), reference.size());
    for (const auto& [path, bytes] : reference) {
        auto it = mine.find(path);
        ASSERT_NE(it, mine.end()) << path;
        EXPECT_TRUE(it->second == bytes) << path;
    }
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

// Refusal of 65520 clusters and the label of a FAT12 volume read as FAT16 are checked by the
// window and command tests.
TEST(FatOracle, ThresholdVolumesMadeByMkfsFat) {
    const std::string dir = OspreyImages();
    const std::string out = TempDir("oracle-thresholds");
    ExplorerRig rig;
    ASSERT_TRUE(rig.Open(dir + "/clusters-4079.img"));
    EXPECT_EQ(rig.explorer.Volume().FatType(), 12);
    ASSERT_TRUE(rig.explorer.SaveRow(*rig.explorer.FindRow("T.TXT"), out + "/t").Saved());
    EXPECT_EQ(ReadHostFile(out + "/t").size(), 15u);
    // A FAT12 volume with 4080 clusters by this count is read as FAT16.
    ExplorerRig rig16;
    ASSERT_TRUE(rig16.Open(dir + "/clusters-4080.img"));
    EXPECT_EQ(rig16.explorer.Volume().FatType(), 16);
    ExplorerRig top;
    ASSERT_TRUE(top.Open(dir + "/clusters-65519.img"));
    EXPECT_EQ(top.explorer.Volume().FatType(), 16);
    ASSERT_TRUE(top.explorer.SaveRow(*top.explorer.FindRow("T.TXT"), out + "/t16").Saved());
    const std::vector<std::uint8_t> t16 = ReadHostFile(out + "/t16");
    EXPECT_EQ(std::string(t16.begin(), t16.end()), "threshold 65519\n");
}
