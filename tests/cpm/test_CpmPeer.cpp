// cpmtools as the oracle, on all ten formats and both ways: images Quarry writes are listed,
// extracted and checked by cpmls, cpmcp and fsck.cpm; images cpmtools writes are listed and
// extracted by Quarry. A random sequence of adds, erases, wipes and renames is judged the same
// way after every step.
#include "QuarryTest.h"

#include "AddFiles.h"
#include "CpmNames.h"
#include "DiskContainer.h"
#include "ErasedFiles.h"
#include "FileCommands.h"
#include "ImdBuilder.h"
#include "UploadAll.h"
#include "modFile.h"

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <iostream>
#include <iterator>
#include <map>
#include <random>
#include <set>
#include <sstream>

namespace {

#define REQUIRE_CPMTOOLS()                                                                         \
    if (!Cpmtools::Installed())                                                                    \
    GTEST_SKIP() << "cpmtools is not installed (scripts/setup installs it)"

std::string Trim(const std::string& s) {
    const std::size_t end = s.find_last_not_of(' ');
    return end == std::string::npos ? "" : s.substr(0, end + 1);
}

// "NAME.TYP" (or "NAME") as the files of Upload All are named.
std::string HostName(const std::string& cpm) {
    const std::string type = Trim(TypePart(cpm));
    return Trim(NamePart(cpm)) + (type.empty() ? "" : "." + type);
}

// "user:name.typ" as cpmls shows a 15-character CP/M name.
std::string CpmlsName(const std::string& cpm) {
    std::string name = HostName(cpm);
    for (char& c : name)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return std::to_string(LeadingNumber(cpm)) + ":" + name;
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

// The definitions of the system's cpmtools the peer table covers: skews and skew tables, CP/M 3,
// ZSDOS, boot tracks, offsets in bytes, kilobytes and tracks, logical extents, reserved
// directory blocks, sectors of 128 to 1024 bytes and blocks of 1K to 8K; one of 16K blocks of
// the table's own; and Quarry's ten.
const std::vector<std::string> PeerDefinitions = [] {
    std::istringstream words(
        "pcw cpm86-720 apple-do apple-po nigdos attwp kpii kpiv fdd3000 1715 microbee40 "
        "icl-comet-525ss zcnb memotech-type50 rm-sd mdsad175 tdos-ds lobo3 pc1.2m altdsdd simh "
        "sdcard yaze512 osborne4 mds-dd peer-16k IBM-3740 PC-1440 PC-4104 PC-8190 J48-SSSD "
        "J48-SSDD J50-SSSD J50-SSDD J50-DSSD J50-DSDD");
    return std::vector<std::string>(std::istream_iterator<std::string>(words), {});
}();
constexpr const char* PeerOwnDefinitions = R"(diskdef peer-16k
  seclen 512
  tracks 80
  sectrk 36
  blocksize 16384
  maxdir 128
  skew 3
  boottrk 1
  bootsec 40
  offset 2S
  os 3
end
)";

// A definition as cpmtools gets it: its own lines, with an exact linear libdsk geometry in place
// of any it names (see peer/make_cpmtools_home.sh), and that geometry; a libdsk format that takes
// the sides in another order stays, as it decides where the tracks are.
std::pair<std::string, std::string> ForCpmtools(const CpmFormat& f) {
    const DiskDefinition& d = f.definition;
    std::string text(d.file == BundledDiskdefsName ? BundledDiskdefsText()
                     : d.file == "peer"            ? PeerOwnDefinitions
                                                   : "");
    if (text.empty()) {
        const ByteVector bytes = ReadFileBytes(d.file);
        text.assign(bytes.begin(), bytes.end());
    }
    std::istringstream lines(text);
    std::string line, definition;
    for (int n = 1; std::getline(lines, line) && n <= d.lastLine; ++n) {
        const bool ownOrder = !f.trackOrder.empty();
        if (n < d.firstLine || (!ownOrder && line.find("libdsk:format") != std::string::npos))
            continue;
        if (n == d.lastLine && !ownOrder) definition += "  libdsk:format linear-" + d.name + "\n";
        definition += line + "\n";
    }
    const std::string geometry =
        "[linear-" + d.name +
        "]\nSidedness=Alt\nCylinders=" + std::to_string(f.ImageSize / f.sectorSize) +
        "\nHeads=1\nSectors=1\nSecBase=1\nSecSize=" + std::to_string(f.sectorSize) +
        "\nDataRate=SD\nFM=N\n";
    return {definition + "\n", geometry + "\n"};
}

// The sample files that fill at most a third of the disk's data blocks, with their bytes; renamed
// "Qn.DAT" in another user when renamed is set.
std::map<std::string, ByteVector> FittingSamples(const DiskFormat& f, unsigned seed,
                                                 bool renamed = false) {
    std::map<std::string, ByteVector> files;
    std::int64_t blocks = 0;
    for (auto [name, size] : SampleFiles(f)) {
        blocks += std::max<std::int64_t>(1, (size + f.BlockSize - 1) / f.BlockSize);
        if (blocks > f.Blocks() / 3) break;
        if (renamed)
            name = std::to_string(LeadingNumber(name) ^ 8) + ":Q" + std::to_string(seed) + ".DAT";
        files[MakeCpmName(name, 0).name] = PatternBytes(static_cast<std::size_t>(size), ++seed);
    }
    return files;
}

// Each definition both ways, judged by cpmtools: the files cpmtools writes (and one it erases)
// are listed, extracted, undeleted and found by Quarry, and the files Quarry then adds pass
// fsck.cpm and come back through cpmcp.
TEST(PeerDefinitions, EveryFileAsCpmtoolsHasIt) {
    REQUIRE_CPMTOOLS();
    if (!std::filesystem::exists(SystemDiskdefsPath))
        GTEST_SKIP() << "no " << SystemDiskdefsPath << " (cpmtools' own definitions)";
    FormatCatalog catalog({SystemDiskdefsPath});
    catalog.AddText(PeerOwnDefinitions, "peer");
    FormatCatalog::SetCurrent(catalog);
    std::string diskdefs, libdskrc;
    for (const std::string& name : PeerDefinitions) {
        const std::optional<int> index = catalog.Find(name);
        ASSERT_TRUE(index) << name << ": " << catalog.WhyNot(name);
        const auto [definition, geometry] = ForCpmtools(catalog.At(*index));
        diskdefs += definition;
        libdskrc += geometry;
    }
    const Cpmtools cpm(diskdefs, libdskrc);
    for (const std::string& name : PeerDefinitions) {
        SCOPED_TRACE(name);
        const CpmFormat& format = catalog.At(*catalog.Find(name));
        DiskFormat f;
        f.SetDiskFormat(name);
        const std::string folder = TempDir(std::string("quarry-peer-") + name);
        const std::string image = folder + "/peer.img";
        WriteFileBytes(image, ByteVector(static_cast<std::size_t>(f.ImageSize), 0xE5));
        // mkfs.cpm knows no offset: such images start as 0xE5 bytes only. It gives a CP/M 3
        // disk a label with 0xE5 time stamps, which fsck.cpm finds wrong: that stays.
        std::string said;
        if (format.volumeOffset == 0) {
            ASSERT_EQ(cpm.Run("mkfs.cpm -f " + std::string(name) + " '" + image + "'", &said), 0)
                << said;
        }
        const std::string fresh = cpm.Check(name, image);
        std::map<std::string, ByteVector> theirs = FittingSamples(f, 200);
        for (const auto& [cpmName, data] : theirs) {
            const std::string host = folder + "/h" + std::to_string(data.size());
            WriteFileBytes(host, data);
            ASSERT_EQ(cpm.Put(name, image, host, CpmlsName(cpmName)), "");
        }
        // The largest file (several entries where it fits) is erased.
        const std::string erased =
            std::max_element(theirs.begin(), theirs.end(), [](const auto& a, const auto& b) {
                return a.second.size() < b.second.size();
            })->first;
        ASSERT_EQ(cpm.Run("cpmrm -T raw -f " + std::string(name) + " '" + image + "' " +
                              CpmlsName(erased),
                          &said),
                  0)
            << said;

        // The size alone, or the directory, picks this layout; or the user is asked with it
        // among the candidates.
        TestImage t(name);
        t.Open(image);
        const std::vector<int>& candidates = t.session.image().Candidates();
        EXPECT_TRUE(t.session.Format().Parameters().SameLayout(format) ||
                    std::find(candidates.begin(), candidates.end(), *catalog.Find(name)) !=
                        candidates.end())
            << "read as " << t.session.Format().Name();
        t.session.SelectDiskFormat(name);
        const std::vector<std::string>& listed = t.session.directory().FileList();
        std::set<std::string> expected;
        for (const auto& [cpmName, data] : theirs)
            if (cpmName != erased) expected.insert(cpmName);
        EXPECT_EQ(std::set<std::string>(listed.begin(), listed.end()), expected);
        for (const std::string& cpmName : expected)
            EXPECT_EQ(t.Upload(cpmName), theirs[cpmName]) << cpmName;
        std::filesystem::create_directory(folder + "/all");
        EXPECT_EQ(UploadAll(t.session, t.out, {*ParseCpmPattern("*:*.*")}, folder + "/all").saved,
                  static_cast<int>(expected.size()));

        const std::vector<ErasedFile> found = FindErasedFiles(t.session, erased.substr(3));
        ASSERT_EQ(found.size(), 1u);
        EXPECT_EQ(found.front().problem, "");
        ASSERT_TRUE(UndeleteFile(t.session, t.out, erased.substr(3), found.front().First(),
                                 LeadingNumber(erased)));
        EXPECT_EQ(cpm.Get(name, image, CpmlsName(erased)), theirs[erased]);

        std::map<std::string, ByteVector> ours = FittingSamples(f, 300, true);
        for (const auto& [cpmName, data] : ours) {
            ASSERT_TRUE(t.Add(t.HostFile("q" + std::to_string(data.size()), data), cpmName));
            theirs[cpmName] = data;
        }
        std::set<std::string> all;
        for (const auto& [cpmName, data] : theirs)
            all.insert(CpmlsName(cpmName));
        EXPECT_EQ(cpm.List(name, image), all);
        for (const auto& [cpmName, data] : ours)
            EXPECT_EQ(cpm.Get(name, image, CpmlsName(cpmName)), data) << cpmName;
        EXPECT_EQ(cpm.Check(name, image), fresh);
    }
    FormatCatalog::SetCurrent(FormatCatalog(FormatCatalog::DefaultFiles()));
}

// CP/M disks in containers changed by Quarry: ImageDisk (made anew by Quarry itself) and the
// Extended .DSK and Teledisk files libdsk writes. After adds, an erase, an undelete and a rename
// dsktrans copies each back to a flat image, which fsck.cpm finds clean and whose files cpmcp
// extracts as they were added; the ImageDisk file keeps its comment and its interleave. A file
// changed behind Quarry's back is not written over: the change is refused and said.
TEST(PeerContainers, ChangesReachTheContainerFile) {
    REQUIRE_CPMTOOLS();
    if (std::system("command -v dsktrans >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "dsktrans (libdsk-utils) is not installed";
    const Cpmtools cpm;
    DiskFormat f;
    f.SetDiskFormat("IBM-3740");
    const std::string folder = TempDir("quarry-containers");
    const std::string flat = folder + "/disk.img";
    WriteFileBytes(flat, ByteVector(static_cast<std::size_t>(f.ImageSize), 0xE5));
    const ByteVector theirs = PatternBytes(5000, 41), gone = PatternBytes(1500, 42);
    WriteFileBytes(folder + "/t", theirs);
    WriteFileBytes(folder + "/g", gone);
    ASSERT_EQ(cpm.Put("IBM-3740", flat, folder + "/t", "0:theirs.bin"), "");
    ASSERT_EQ(cpm.Put("IBM-3740", flat, folder + "/g", "0:gone.bin"), "");

    ImdBuilder built = ImdFromFlat(ReadFileBytes(flat), 1, 26, ImdSize::S128, ImdMode::Fm500);
    const std::string header = "IMD 1.18: 01/02/2003 04:05:06\r\nBox 3, disk 2\r\nlabel faded\x1A";
    built.RawHeader(ByteString(header.begin(), header.end()));
    for (ImdTrack& track : built.Tracks()) { // recorded 1, 14, 2, 15, ...
        std::vector<ImdSector> interleaved;
        for (std::size_t i = 0; i < 13; ++i)
            interleaved.insert(interleaved.end(), {track.sectors[i], track.sectors[13 + i]});
        track.sectors = interleaved;
    }
    built.Write(folder + "/built.imd");
    auto sectorOrder = [](const std::string& path) {
        std::vector<int> order;
        const OpenedContainer opened = OpenContainer(path);
        if (opened.container)
            for (const PhysicalTrack& track : opened.container->Disk()->Tracks())
                for (const PhysicalSector& sector : track.sectors)
                    order.push_back(sector.idSector);
        return order;
    };
    const std::vector<int> order = sectorOrder(folder + "/built.imd");
    ASSERT_EQ(std::vector<int>(order.begin(), order.begin() + 4), (std::vector<int>{1, 14, 2, 15}));

    const std::string goneName = MakeCpmName("0:GONE.BIN", 0).name;
    for (const std::string type : {"imd", "edsk", "tele"}) {
        SCOPED_TRACE(type);
        const std::string path = folder + "/disk." + type;
        if (type == "imd")
            WriteFileBytes(path, ReadFileBytes(folder + "/built.imd"));
        else
            ASSERT_EQ(cpm.Run("dsktrans -itype imd -otype " + type + " -format ibm3740-fm '" +
                              folder + "/built.imd' '" + path + "' >/dev/null"),
                      0);
        TestImage t("IBM-3740", 0xE5, "quarry-container-" + type);
        t.Open(path);
        ASSERT_NE(t.session.image().Container(), nullptr);
        ASSERT_TRUE(t.session.image().Writable()) << t.session.image().ContainerReadOnlyText();
        const ByteVector ours = PatternBytes(9000, 43);
        ASSERT_TRUE(t.Add(t.HostFile("o", ours), "3:OURS.DAT"));
        t.Select(goneName);
        ASSERT_TRUE(EraseFile(t.session, t.out, false));
        t.Select(MakeCpmName("0:THEIRS.BIN", 0).name);
        ASSERT_TRUE(RenameFile(t.session, t.out, "2:KEPT.BIN"));
        const std::vector<ErasedFile> erased = FindErasedFiles(t.session, goneName.substr(3));
        ASSERT_EQ(erased.size(), 1u);
        ASSERT_TRUE(UndeleteFile(t.session, t.out, goneName.substr(3), erased.front().First(), 0));
        EXPECT_FALSE(t.session.image().ChangeLost());

        const std::string back = folder + "/back-" + type + ".img";
        ASSERT_EQ(cpm.Run("dsktrans -itype " + type + " -otype raw -format ibm3740-fm '" + path +
                          "' '" + back + "' >/dev/null"),
                  0);
        EXPECT_EQ(cpm.Check("IBM-3740", back), "");
        EXPECT_EQ(cpm.List("IBM-3740", back),
                  (std::set<std::string>{"0:gone.bin", "2:kept.bin", "3:ours.dat"}));
        EXPECT_EQ(cpm.Get("IBM-3740", back, "3:ours.dat"), ours);
        EXPECT_EQ(cpm.Get("IBM-3740", back, "2:kept.bin"), theirs);
        EXPECT_EQ(cpm.Get("IBM-3740", back, "0:gone.bin"), gone);
        if (type != "imd") continue;
        EXPECT_EQ(OpenContainer(path).container->Comment(), header.substr(0, header.size() - 1));
        EXPECT_EQ(sectorOrder(path), order);

        // Another program rewrites the file while a change is under way (it takes no lock):
        // the change is not written over it, and what Quarry shows is read from the file again.
        {
            QuarrySession::Change change(t.session, t.out);
            ASSERT_TRUE(change);
            t.Put(5, MakeEntry(0, "00:LOST    .DAT", 0, 1, {100}));
            WriteFileBytes(path, ReadFileBytes(folder + "/built.imd"));
        }
        EXPECT_TRUE(t.session.image().ChangeLost());
        EXPECT_EQ(t.Bytes(), ReadFileBytes(folder + "/built.imd"));
        EXPECT_NE(t.prompts.messages.back().text.find(
                      "the change was not written, and the image file is as it was: the image "
                      "file changed since it was read"),
                  std::string::npos)
            << t.prompts.messages.back().text;
        EXPECT_EQ(t.session.directory().FileList().size(), 2u);
    }
}

class PeerFormat : public ::testing::TestWithParam<const char*> {};

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
        ASSERT_EQ(s.OpenImage(image, true), OpenOutcome::Opened);
        fs::create_directory(folder + "/quarry");
        const UploadAllResult all =
            UploadAll(s.session, s.out, {*ParseCpmPattern("*:*.*")}, folder + "/quarry");
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
    std::map<std::string, ByteVector> model;  // 15-character name -> content
    std::map<std::string, ByteVector> erased; // erased (not wiped), not yet tried to undelete
    std::set<std::string> intact;             // those erased since the last file was added
    int undeleted = 0;
    const std::int64_t capacity = static_cast<std::int64_t>(f.Blocks()) * f.BlockSize;
    int counter = 0;
    for (int step = 0; step < 30; ++step) {
        const int op = model.empty() ? 0 : static_cast<int>(random() % 8);
        if (op >= 5 && !erased.empty()) {
            // Undelete: refused without a change, or the file is back as it was.
            auto it = erased.begin();
            std::advance(it, static_cast<long>(random() % erased.size()));
            const std::vector<ErasedFile> found = FindErasedFiles(t.session, it->first.substr(3));
            const ByteVector before = t.Bytes();
            if (!found.empty() && UndeleteFile(t.session, t.out, it->first.substr(3),
                                               found.front().First(), LeadingNumber(it->first))) {
                // A file added since may have taken the blocks and gone again.
                const ByteVector back = cpm.Get(format, t.path, CpmlsName(it->first));
                if (intact.count(it->first)) {
                    EXPECT_EQ(back, it->second) << step;
                }
                model[it->first] = back;
                ++undeleted;
            } else {
                EXPECT_EQ(t.Bytes(), before) << step;
            }
            erased.erase(it);
        } else if (op <= 1 || op >= 5) {
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
            if (ok) {
                model[cpmName] = data;
                intact.clear();
            } else
                EXPECT_EQ(t.Bytes(), before);
        } else {
            auto it = model.begin();
            std::advance(it, static_cast<long>(random() % model.size()));
            t.Select(it->first);
            if (op == 2) {
                ASSERT_TRUE(EraseFile(t.session, t.out, false));
                erased.insert(*it);
                intact.insert(it->first);
                model.erase(it);
            } else if (op == 3) {
                t.session.SetFillByteText(std::to_string(random() % 256));
                ASSERT_TRUE(EraseFile(t.session, t.out, true));
                model.erase(it);
            } else {
                const std::string renamed =
                    std::to_string(random() % 16) + ":R" + std::to_string(++counter);
                ASSERT_TRUE(RenameFile(t.session, t.out, renamed));
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
    EXPECT_GT(undeleted, 0);
    ASSERT_TRUE(WipeFreeSpace(t.session, t.out));
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
