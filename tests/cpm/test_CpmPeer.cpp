// cpmtools as the oracle, on all ten formats and both ways: images Quarry writes are listed,
// extracted and checked by cpmls, cpmcp and fsck.cpm; images cpmtools writes are listed and
// extracted by Quarry. A random sequence of adds, erases, wipes and renames is judged the same
// way after every step.
#include "QuarryTest.h"

#include "AddFiles.h"
#include "CpmNames.h"
#include "FileCommands.h"
#include "UploadAll.h"
#include "modFile.h"

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <iostream>
#include <map>
#include <random>
#include <set>

namespace {

#define REQUIRE_CPMTOOLS()                                                                         \
    if (!Cpmtools::Installed())                                                                    \
    GTEST_SKIP() << "cpmtools is not installed (scripts/setup installs it)"

std::string Lower(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string Trim(const std::string& s) {
    const std::size_t end = s.find_last_not_of(' ');
    return end == std::string::npos ? "" : s.substr(0, end + 1);
}

// "user:name.ext" as cpmls shows a 15-character CP/M name.
std::string CpmlsName(const std::string& cpm) {
    const std::string type = Trim(TypePart(cpm));
    return std::to_string(LeadingNumber(cpm)) + ":" + Lower(Trim(NamePart(cpm))) +
           (type.empty() ? "" : "." + Lower(type));
}

// "NAME.TYP" (or "NAME") as the files of Upload All are named.
std::string HostName(const std::string& cpm) {
    const std::string type = Trim(TypePart(cpm));
    return Trim(NamePart(cpm)) + (type.empty() ? "" : "." + type);
}

// Files of a sample set: sizes around records, blocks, extents and entries of the format.
std::vector<std::pair<std::string, std::int64_t>> SampleFiles(const DiskFormat& f) {
    const std::int64_t entryBytes = static_cast<std::int64_t>(f.ExtentsPerEntry) * 16384;
    return {{"0:EMPTY.DAT", 0},
            {"0:ONE", 1},
            {"1:REC.127", 127},
            {"1:REC.128", 128},
            {"15:BLOCKS.BIN", f.BlockSize * 3 + 5},
            {"3:EXTENT.TXT", 16384},
            {"3:ENTRIES.BIN", entryBytes + 100},
            {"7:LONG.DAT", 3 * entryBytes + 1000}};
}

class PeerFormat : public ::testing::TestWithParam<const char*> {};

TEST_P(PeerFormat, ImagesQuarryWritesPassCpmtools) {
    REQUIRE_CPMTOOLS();
    const Cpmtools cpm;
    const std::string format = GetParam();
    TestImage t(format);
    std::map<std::string, ByteVector> added;
    unsigned seed = 100;
    for (const auto& [name, size] : SampleFiles(t.session.Format())) {
        const ByteVector data = PatternBytes(static_cast<std::size_t>(size), ++seed);
        ASSERT_TRUE(t.Add(t.HostFile("h" + std::to_string(seed), data), name)) << name;
        added[CpmlsName(MakeCpmName(name, 0).name)] = data;
    }
    std::set<std::string> expected;
    for (const auto& [name, data] : added)
        expected.insert(name);
    EXPECT_EQ(cpm.List(format, t.path), expected);
    for (const auto& [name, data] : added)
        EXPECT_EQ(cpm.Get(format, t.path, name), data) << name;
    EXPECT_EQ(cpm.Check(format, t.path), "");
}

TEST_P(PeerFormat, ImagesCpmtoolsWritesAreReadByQuarry) {
    REQUIRE_CPMTOOLS();
    const Cpmtools cpm;
    const std::string format = GetParam();
    DiskFormat f;
    f.SetDiskFormat(format);
    const std::string folder = TempDir("quarry-peer-in-" + format);
    const std::string image = folder + "/cpmtools.img";
    WriteFileBytes(image, ByteVector(static_cast<std::size_t>(f.ImageSize), 0xE5));
    // mkfs.cpm knows no data-area offset and never sizes the file: every image starts as 0xE5
    // bytes, and the J formats are not given to mkfs.cpm.
    if (format.front() != 'J') {
        std::string text;
        ASSERT_EQ(cpm.Run("mkfs.cpm -f " + format + " '" + image + "'", &text), 0) << text;
    }
    std::map<std::string, ByteVector> written;
    unsigned seed = 200;
    for (const auto& [name, size] : SampleFiles(f)) {
        const ByteVector data = PatternBytes(static_cast<std::size_t>(size), ++seed);
        const std::string host = folder + "/h" + std::to_string(seed);
        WriteFileBytes(host, data);
        const std::string lower = CpmlsName(MakeCpmName(name, 0).name);
        ASSERT_EQ(cpm.Put(format, image, host, lower), "");
        written[MakeCpmName(name, 0).name] = data;
    }
    TestImage t(format);
    t.Open(image);
    EXPECT_EQ(t.session.Format().Name(), format);
    std::set<std::string> listed(t.session.directory().FileList().begin(),
                                 t.session.directory().FileList().end());
    std::set<std::string> expected;
    for (const auto& [name, data] : written)
        expected.insert(name);
    EXPECT_EQ(listed, expected);
    for (const auto& [name, data] : written)
        EXPECT_EQ(t.Upload(name), data) << name;
    // All at once, a folder per user.
    std::filesystem::create_directory(folder + "/all");
    const UploadAllResult all = UploadAll(t.session, {*ParseCpmPattern("*:*.*")}, folder + "/all");
    EXPECT_EQ(all.saved, static_cast<int>(written.size()));
    for (const auto& [name, data] : written)
        EXPECT_EQ(ReadFileBytes(folder + "/all/" + std::to_string(LeadingNumber(name)) + "/" +
                                HostName(name)),
                  data)
            << name;
    EXPECT_EQ(t.prompts.messages.size(), 0u);
}

// Disks written by other machines (see SOURCES.md beside them): every file of every user taken
// at once, and each one taken alone, equals what cpmcp extracts, byte for byte (CP/M 3's exact
// sizes included).
TEST(PeerRealImages, EveryFileAsCpmcpExtractsIt) {
    REQUIRE_CPMTOOLS();
    namespace fs = std::filesystem;
    if (!fs::is_directory(QUARRY_REAL_IMAGES))
        GTEST_SKIP() << "no real images in " << QUARRY_REAL_IMAGES;
    const Cpmtools cpm;
    int images = 0, files = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(QUARRY_REAL_IMAGES)) {
        const std::string image = entry.path().string();
        SCOPED_TRACE(image);
        const std::string folder = TempDir("quarry-real-" + entry.path().filename().string());
        BareSession s;
        s.session.image().SetName(image);
        s.session.image().SetReadOnlyRequested(true);
        ASSERT_TRUE(s.session.DetectDiskFormat());
        fs::create_directory(folder + "/quarry");
        const UploadAllResult all =
            UploadAll(s.session, {*ParseCpmPattern("*:*.*")}, folder + "/quarry");
        EXPECT_EQ(all.failed, 0);
        // A p-System disk of the same size: what its bytes name is saved, nothing to compare.
        if (entry.path().filename() == "z80pack-cpm-ucsd-iv-1.dsk") continue;
        int extracted = 0;
        for (int user = 0; user < 16; ++user) {
            const std::string theirs = folder + "/cpmcp/" + std::to_string(user);
            fs::create_directories(theirs);
            cpm.Run("cpmcp -T raw -f IBM-3740 '" + image + "' '" + std::to_string(user) + ":*' '" +
                    theirs + "/'");
            for (const fs::directory_entry& file : fs::directory_iterator(theirs)) {
                std::string name = file.path().filename().string();
                for (char& c : name)
                    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
                const std::string ours = folder + "/quarry/" + std::to_string(user) + "/" + name;
                EXPECT_EQ(ReadFileBytes(ours), ReadFileBytes(file.path().string())) << ours;
                ++extracted;
            }
        }
        EXPECT_EQ(all.saved, extracted);
        // One file at a time, as the window's Upload takes it.
        NoSettings settings;
        modFile dialogs(ProgramCopy::Quarry, s.prompts, settings);
        for (const std::string& name : s.session.directory().FileList()) {
            s.prompts.fileAnswers.push_back({folder + "/one", false});
            s.session.SelectFile(name);
            ASSERT_TRUE(UploadFile(s.session, dialogs));
            EXPECT_EQ(ReadFileBytes(folder + "/one"),
                      ReadFileBytes(folder + "/quarry/" + std::to_string(LeadingNumber(name)) +
                                    "/" + HostName(name)))
                << name;
        }
        if (entry.path().filename() == "z80pack-cpm-cpm3-1.dsk") {
            EXPECT_EQ(ReadFileBytes(folder + "/quarry/0/RESET.COM").size(), 15u);
        }
        ++images;
        files += extracted;
    }
    std::cout << images << " real images, " << files << " files compared with cpmcp\n";
}

TEST_P(PeerFormat, RandomChangesStayConsistent) {
    REQUIRE_CPMTOOLS();
    const Cpmtools cpm;
    const std::string format = GetParam();
    TestImage t(format);
    const DiskFormat& f = t.session.Format();
    std::mt19937 random(static_cast<unsigned>(f.Index()) * 7919u + 17u);
    std::map<std::string, ByteVector> model; // 15-character name -> content
    const std::int64_t capacity = static_cast<std::int64_t>(f.Blocks()) * f.BlockSize;
    int counter = 0;
    for (int step = 0; step < 24; ++step) {
        const int op = model.empty() ? 0 : static_cast<int>(random() % 5);
        if (op <= 1) {
            const std::int64_t size = random() % (capacity / 6);
            const ByteVector data = PatternBytes(static_cast<std::size_t>(size), random());
            const std::string name =
                std::to_string(random() % 16) + ":F" + std::to_string(++counter) + ".D";
            const std::string cpmName = MakeCpmName(name, 0).name;
            const bool fits = SpaceFor(size, f.BlockSize, f.ExtentsPerEntry).blocks <=
                              t.session.directory().CountFreeBlocks();
            const ByteVector before = t.Bytes();
            const bool ok = t.Add(t.HostFile("r" + std::to_string(counter), data), name);
            EXPECT_EQ(ok, fits) << step;
            if (ok)
                model[cpmName] = data;
            else
                EXPECT_EQ(t.Bytes(), before);
        } else {
            auto it = model.begin();
            std::advance(it, static_cast<long>(random() % model.size()));
            t.Select(it->first);
            if (op == 2) {
                ASSERT_TRUE(EraseFile(t.session, false));
                model.erase(it);
            } else if (op == 3) {
                t.session.SetFillByteText(std::to_string(random() % 256));
                ASSERT_TRUE(EraseFile(t.session, true));
                model.erase(it);
            } else {
                const std::string renamed =
                    std::to_string(random() % 16) + ":R" + std::to_string(++counter);
                t.prompts.inputAnswers = {renamed};
                ASSERT_TRUE(RenameFile(t.session));
                model[MakeCpmName(renamed, 0).name] = it->second;
                model.erase(it);
            }
        }
        std::set<std::string> expected;
        for (const auto& [name, data] : model)
            expected.insert(CpmlsName(name));
        ASSERT_EQ(cpm.List(format, t.path), expected) << "after step " << step;
        EXPECT_EQ(cpm.Check(format, t.path), "");
    }
    for (const auto& [name, data] : model) {
        EXPECT_EQ(cpm.Get(format, t.path, CpmlsName(name)), data) << name;
        EXPECT_EQ(t.Upload(name), data) << name;
    }
    ASSERT_TRUE(WipeFreeSpace(t.session));
    EXPECT_EQ(cpm.Check(format, t.path), "");
    for (const auto& [name, data] : model)
        EXPECT_EQ(cpm.Get(format, t.path, CpmlsName(name)), data) << name;
}

INSTANTIATE_TEST_SUITE_P(AllFormats, PeerFormat,
                         ::testing::Values("IBM-3740", "PC-1440", "PC-4104", "PC-8190", "J48-SSSD",
                                           "J48-SSDD", "J50-SSSD", "J50-SSDD", "J50-DSSD",
                                           "J50-DSDD"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             std::string name = info.param;
                             name.erase(std::remove(name.begin(), name.end(), '-'), name.end());
                             return name;
                         });

} // namespace
