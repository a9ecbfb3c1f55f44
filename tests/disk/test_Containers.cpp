// The container layer: every container type libdsk's dsktrans writes (fixture containers), the
// real ImageDisk files of ../shared/real-images, damaged sectors, writing back, detection, and
// a libdsk child that crashes, hangs or floods its pipe.
#include "DiskContainer.h"
#include "Golden.h"
#include "ImdFiles.h"
#include "OutputFile.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

void WriteBytes(const std::string& path, const ByteString& bytes) {
    OutputFile out;
    ASSERT_TRUE(out.Open(path) && out.Write(bytes) && out.Close()) << path;
}

ByteString FlatBytes(DiskContainer& container) {
    ByteString bytes(static_cast<std::size_t>(container.Flat().Size()));
    EXPECT_TRUE(container.Flat().Read(0, bytes));
    return bytes;
}

std::unique_ptr<DiskContainer> Open(const std::string& path, const std::string& type = "") {
    ContainerOptions options;
    options.type = type;
    OpenedContainer opened = OpenContainer(path, options);
    EXPECT_TRUE(opened.container) << path << ": " << opened.error;
    return std::move(opened.container);
}

std::string ContainerDir() {
    return FixtureDir() + "/containers";
}

#define SKIP_WITHOUT_FIXTURES()                                                                    \
    if (!fs::exists(ContainerDir() + "/c512.raw"))                                                 \
    GTEST_SKIP() << "dsktrans (libdsk-utils) is not installed: no container images"

// Every logical sector of the ImageDisk drive on path, up to and including the first it fails.
std::vector<ByteString> DriveSectors(const std::string& path) {
    ScriptedPrompts prompts;
    ImageDiskDrive drive(prompts, "VersaDOS File System");
    EXPECT_TRUE(drive.OpenImage(path, "disk").accepted);
    std::vector<ByteString> sectors;
    while (drive.ReadSector(static_cast<std::int32_t>(sectors.size())))
        sectors.emplace_back(drive.SectorBuffer().begin(), drive.SectorBuffer().end());
    return sectors;
}

} // namespace

// Each container file of the fixture is recognised by its content (or extension), and read
// through libdsk (or our ImageDisk reader) gives the raw image it was made from byte for byte.
// The 256-byte ones read as logical sectors exactly as the ImageDisk drive reads the .imd.
TEST(Containers, EveryTypeDsktransWritesReadsAsItsRawImage) {
    SKIP_WITHOUT_FIXTURES();
    const std::vector<ByteString> drive = DriveSectors(ContainerDir() + "/c256.imd");
    ASSERT_EQ(drive.size(), 1280u);
    const struct {
        const char* base;
        std::vector<const char*> types;
    } sets[] = {
        {"c512", {"imd", "dsk", "edsk", "cfi", "ydsk", "ldbs", "qrst", "jv3", "tele", "copyqm"}},
        {"c256", {"imd", "dsk", "edsk", "ydsk", "ldbs", "jv3", "tele", "copyqm", "sap"}},
    };
    for (const auto& set : sets) {
        const ByteString raw = ReadHostFile(ContainerDir() + "/" + set.base + ".raw");
        for (const char* type : set.types) {
            SCOPED_TRACE(std::string(set.base) + "." + type);
            const std::string path = ContainerDir() + "/" + set.base + "." + type;
            const std::unique_ptr<DiskContainer> detected = Open(path);
            ASSERT_TRUE(detected);
            EXPECT_EQ(detected->Type().name, type);
            EXPECT_EQ(FlatBytes(*detected), raw);
            EXPECT_TRUE(detected->Flat().Damage().empty());
            EXPECT_EQ(detected->CanWrite().kind, WriteBackKind::Rewrite);
            // Named instead of detected: the same disk.
            const std::unique_ptr<DiskContainer> named = Open(path, type);
            ASSERT_TRUE(named);
            EXPECT_EQ(FlatBytes(*named), raw);
            if (std::string(set.base) != "c256") continue;
            SectorSource& logical = detected->Logical();
            ByteString sector(256);
            for (std::size_t lsn = 0; lsn < drive.size(); ++lsn) {
                ASSERT_TRUE(logical.ReadSector(static_cast<std::int32_t>(lsn), sector)) << lsn;
                ASSERT_EQ(sector, drive[lsn]) << "LSN " << lsn;
            }
            EXPECT_FALSE(logical.ReadSector(static_cast<std::int32_t>(drive.size()), sector));
        }
    }
    // A raw image is a raw container: its flat view is the file, its logical sectors the file's
    // 256-byte pieces.
    const std::unique_ptr<DiskContainer> raw = Open(ContainerDir() + "/c256.raw");
    ASSERT_TRUE(raw);
    EXPECT_EQ(raw->Type().name, "raw");
    EXPECT_EQ(raw->Disk(), nullptr);
    EXPECT_EQ(FlatBytes(*raw), ReadHostFile(ContainerDir() + "/c256.raw"));
    ByteString sector(256);
    ASSERT_TRUE(raw->Logical().ReadSector(1279, sector));
    EXPECT_EQ(sector, drive[1279]);
    EXPECT_FALSE(raw->Logical().ReadSector(1280, sector));
}

// The real ImageDisk files: all open; where dsktrans can read them with one geometry, every
// sector equals its reading except the unreadable ones, which the damage list names.
TEST(Containers, RealImageDiskFilesEqualDsktransAndTheKaypro4KeepsItsSide1Numbers) {
    const std::string real = SUITE_REAL_IMAGES_DIR "/imd";
    if (!fs::is_directory(real)) GTEST_SKIP() << "no real images in " << real;
    SKIP_WITHOUT_FIXTURES();
    int compared = 0;
    for (const auto& entry : fs::directory_iterator(real)) {
        SCOPED_TRACE(entry.path().filename().string());
        const std::unique_ptr<DiskContainer> image = Open(entry.path().string());
        ASSERT_TRUE(image);
        EXPECT_EQ(image->Type().name, "imd");
        const ByteString flat = FlatBytes(*image);
        EXPECT_EQ(flat.size(), image->Disk()->TotalBytes());
        const std::string oracle =
            ContainerDir() + "/real-" + entry.path().stem().string() + ".raw";
        if (!fs::exists(oracle)) continue;
        ByteString expected = ReadHostFile(oracle);
        ASSERT_EQ(flat.size(), expected.size());
        for (const DamagedRange& range : image->Flat().Damage())
            std::fill_n(expected.begin() + range.start, range.length, 0);
        EXPECT_EQ(flat, expected);
        ++compared;
    }
    EXPECT_EQ(compared, 4);

    // The Kaypro 4 records side 1 with head 0 and sector numbers 10..19, interleaved.
    const std::unique_ptr<DiskContainer> kaypro = Open(real + "/SBASIC.imd");
    ASSERT_TRUE(kaypro);
    const PhysicalTrack* side1 = kaypro->Disk()->FindTrack(3, 1);
    ASSERT_NE(side1, nullptr);
    ASSERT_EQ(side1->sectors.size(), 10u);
    EXPECT_EQ(side1->sectors[1].idSector, 18);
    ByteString sector(512), expected(512);
    for (const PhysicalSector& s : side1->sectors) {
        EXPECT_EQ(s.idHead, 0);
        kaypro->Disk()->ReadSector(s, 0, expected);
        ASSERT_TRUE(kaypro->Flat().Read((3 * 2 + 1) * 5120 + (s.idSector - 10) * 512, sector));
        EXPECT_EQ(sector, expected) << "sector " << int(s.idSector);
    }
    const std::vector<DamagedRange> damage = kaypro->Flat().Damage();
    EXPECT_EQ(damage,
              (std::vector<DamagedRange>{{0, 0, 1, SectorStatus::Unavailable, 512, 512},
                                         {0, 1, 11, SectorStatus::Unavailable, 5120 + 512, 512}}));
    EXPECT_EQ(kaypro->CanWrite().kind, WriteBackKind::None);
    EXPECT_EQ(kaypro->CanWrite().reason, "sector 1 at cylinder 0, head 0 is unavailable");
}

// An ImageDisk file with unavailable, data-error and deleted sectors: the flat and logical
// views name the damaged ones with the bytes they cover; deleted data alone is no damage.
TEST(Containers, DamagedSectorsAreListedWithTheirByteRanges) {
    ImdBuilder imd("Damaged");
    imd.AddTrack(ImdTrack::Uniform(0, 0, 8, ImdSize::S128, ImdMode::Fm500)
                     .MakeUnavailable(3)
                     .SetType(6, static_cast<std::uint8_t>(ImdRecord::DataError)));
    ImdTrack second = ImdTrack::Uniform(0, 1, 4, ImdSize::S256, ImdMode::Fm500, 5);
    second.SetType(6, static_cast<std::uint8_t>(ImdRecord::DeletedError))
        .SetType(7, static_cast<std::uint8_t>(ImdRecord::DeletedData))
        .Compress(8, 0x11)
        .SetType(8, static_cast<std::uint8_t>(ImdRecord::CompressedError));
    imd.AddTrack(second);
    const std::string path = WriteTempImage(imd.Build(), "damaged.imd");
    const std::unique_ptr<DiskContainer> disk = Open(path);
    ASSERT_TRUE(disk);
    const std::vector<DamagedRange> expected{
        {0, 0, 3, SectorStatus::Unavailable, 256, 128},
        {0, 0, 6, SectorStatus::DataError, 640, 128},
        {0, 1, 6, SectorStatus::DataError, 1024 + 256, 256},
        {0, 1, 8, SectorStatus::DataError, 1024 + 768, 256},
    };
    EXPECT_EQ(disk->Flat().Damage(), expected);
    // Track 0 gives four logical sectors of two 128-byte sectors each, then one per sector.
    EXPECT_EQ(disk->LogicalDamage(), expected);
    EXPECT_TRUE(disk->Disk()->FindTrack(0, 1)->sectors[2].deleted);
    // The unavailable sector reads as zeros, as the drive reads it.
    ByteString sector(256);
    ASSERT_TRUE(disk->Logical().ReadSector(1, sector));
    EXPECT_TRUE(std::all_of(sector.begin(), sector.begin() + 128, [](auto b) { return b == 0; }));
    EXPECT_EQ(DriveSectors(path)[1], sector);
    EXPECT_EQ(disk->CanWrite().reason, "sector 3 at cylinder 0, head 0 is unavailable");
}

// A changed flat view written back: as ImageDisk (rewritten whole, read back by us and by
// dsktrans), through libdsk (edsk), and as raw (patches in place); and refusals with reasons.
TEST(Containers, ChangedDisksWriteBackWhereNothingIsLost) {
    SKIP_WITHOUT_FIXTURES();
    ByteString raw = ReadHostFile(ContainerDir() + "/c256.raw");
    ByteString change(700);
    for (std::size_t i = 0; i < change.size(); ++i)
        change[i] = static_cast<std::uint8_t>(i * 13 + 1);
    std::copy(change.begin(), change.end(), raw.begin() + 5000);
    std::fill_n(raw.begin() + 256 * 40, 256, 0x5A); // a whole sector of one value
    const std::string out = TempDir("writeback");
    for (const char* type : {"imd", "edsk"}) {
        SCOPED_TRACE(type);
        const std::string original = ContainerDir() + "/c256." + type;
        const std::string copy = out + "/c256." + type;
        fs::copy_file(original, copy, fs::copy_options::overwrite_existing);
        const std::unique_ptr<DiskContainer> disk = Open(copy);
        ASSERT_TRUE(disk);
        ASSERT_TRUE(disk->Flat().Write(5000, change));
        ASSERT_TRUE(disk->Flat().Write(256 * 40, ByteString(256, 0x5A)));
        EXPECT_FALSE(disk->Flat().Write(disk->Flat().Size() - 10, change));
        const WriteBack back = disk->WriteBackChanges();
        ASSERT_TRUE(back.ok) << back.problem;
        EXPECT_EQ(ReadHostFile(copy), ReadHostFile(original)); // the layer itself wrote nothing
        WriteBytes(copy, back.image);
        const std::unique_ptr<DiskContainer> again = Open(copy);
        ASSERT_TRUE(again);
        EXPECT_EQ(FlatBytes(*again), raw);
        EXPECT_EQ(again->Comment(), disk->Comment());
        const std::string check = out + "/check.raw";
        fs::remove(check);
        const std::string command = "HOME=" + ContainerDir() + "/home dsktrans -itype " + type +
                                    " -otype raw -format test-256 " + copy + " " + check +
                                    " >/dev/null 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0);
        EXPECT_EQ(ReadHostFile(check), raw);
    }
    // The ImageDisk rewrite keeps every record it did not change.
    const ByteString before = ReadHostFile(ContainerDir() + "/c256.imd");
    const ByteString after = ReadHostFile(out + "/c256.imd");
    EXPECT_EQ(ByteString(after.begin(), after.begin() + 4000),
              ByteString(before.begin(), before.begin() + 4000));

    const std::string rawCopy = out + "/c256.raw";
    fs::copy_file(ContainerDir() + "/c256.raw", rawCopy, fs::copy_options::overwrite_existing);
    const std::unique_ptr<DiskContainer> flat = Open(rawCopy);
    ASSERT_TRUE(flat && flat->Flat().Write(1000, change));
    const WriteBack patches = flat->WriteBackChanges();
    ASSERT_TRUE(patches.ok);
    ASSERT_EQ(patches.patches.size(), 3u); // blocks 1 to 3 of 512 bytes
    ByteString patched = ReadHostFile(rawCopy);
    for (const BytePatch& patch : patches.patches)
        std::copy(patch.bytes.begin(), patch.bytes.end(), patched.begin() + patch.position);
    std::copy(change.begin(), change.end(), raw.begin() + 1000);
    EXPECT_EQ(ByteString(patched.begin(), patched.begin() + 2048),
              ByteString(raw.begin(), raw.begin() + 2048));
    EXPECT_EQ(FlatBytes(*flat), ByteString(patched));

    // The file changed behind the layer's back: nothing is written.
    const std::unique_ptr<DiskContainer> stale = Open(out + "/c256.edsk");
    ASSERT_TRUE(stale && stale->Flat().Write(0, change));
    WriteBytes(out + "/c256.edsk", ReadHostFile(ContainerDir() + "/c256.edsk"));
    EXPECT_EQ(stale->WriteBackChanges().problem, "the image file changed since it was read");
}

// What decides the type: signatures first, extensions only where content cannot tell, raw
// last; names as libdsk's tools give them.
TEST(Containers, TypesComeFromContentThenExtensionAndCanBeNamed) {
    const auto bytes = [](std::string text, std::size_t size = 64) {
        text.resize(std::max(size, text.size()), '\0');
        return ByteString(text.begin(), text.end());
    };
    const ByteString cfi = {3, 0, 1, 2, 3, 2, 0, 9, 9};
    const ByteString cutCfi = {3, 0, 1, 2, 3, 5, 0, 9, 9};
    const struct {
        ByteString start;
        std::int64_t length;
        const char* name;
        const char* type;
    } rows[] = {
        {bytes("IMD 1.18: x"), 64, "a.img", "imd"},
        {bytes("imd 1.18: x"), 64, "a.img", "imd"},
        {bytes("MV - CPCEMU Disk-File"), 64, "a.img", "dsk"},
        {bytes("EXTENDED CPC DSK File"), 64, "a.img", "edsk"},
        {bytes(std::string("TD\0\x15", 4)), 64, "a.img", "tele"},
        {bytes(std::string("td\0\x15", 4)), 64, "a.img", "tele"},
        {bytes("TDX"), 64, "a.img", "raw"},
        {bytes("CQ\x14"), 64, "a.img", "copyqm"},
        {bytes("ACT Apricot disk image\x1a\x04"), 64, "a.img", "apridisk"},
        {bytes("<CPM_Disk>"), 64, "a.img", "ydsk"},
        {bytes("LBS\x01"
               "DSK\x02"),
         64, "a.img", "ldbs"},
        {bytes("QRST"), 64, "a.img", "qrst"},
        {bytes("\x81SYSTEME D'ARCHIVAGE PUKALL"), 64, "a.img", "sap"},
        {bytes("", 8704), 10000, "a.JV3", "jv3"},
        {bytes("", 100), 100, "a.jv3", "raw"},
        {bytes("", 64), 77 * 32 * 137, "altair.dsk", "simh"},
        {bytes("", 64), 368640, "pc.dsk", "raw"},
        {bytes("EXTENDED CPC DSK"), 368640, "x.jv3", "edsk"},
        {cfi, 9, "a.cfi", "cfi"},
        {cutCfi, 9, "a.cfi", "raw"},
        {cfi, 9, "a.img", "raw"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(DetectContainer({row.start, row.length, row.name}).name, row.type)
            << row.name << " " << row.length;

    std::string problem;
    EXPECT_EQ(FindContainerType("TELE", problem)->title, "Teledisk");
    EXPECT_EQ(FindContainerType("raw", problem)->family, ContainerFamily::Raw);
    EXPECT_FALSE(FindContainerType("floppy", problem));
    EXPECT_EQ(problem, "container type floppy reads drives or folders, not image files");
    EXPECT_FALSE(FindContainerType("bogus", problem));
    EXPECT_EQ(problem.rfind("unknown container type: bogus (known: raw imd ", 0), 0u);

    // Mine by signature but damaged, or named wrongly: a clear refusal.
    const std::string dir = TempDir("types");
    ByteString teledisk = bytes(std::string("TD\0\x15", 4), 300);
    WriteBytes(dir + "/bad.td0", teledisk);
    OpenedContainer bad = OpenContainer(dir + "/bad.td0");
    EXPECT_EQ(bad.container, nullptr);
    EXPECT_EQ(bad.error.rfind("not a Teledisk image: ", 0), 0u) << bad.error;
    ContainerOptions asImd;
    asImd.type = "imd";
    EXPECT_EQ(OpenContainer(dir + "/bad.td0", asImd).error,
              "not an ImageDisk image: the file does not start with \"IMD \"");
    asImd.type = "bogus";
    EXPECT_EQ(OpenContainer(dir + "/bad.td0", asImd).error.rfind("unknown container type", 0), 0u);
}

// libdsk runs in a child: whatever the child does, the image is refused with a message, within
// the time limit, and the child is gone.
TEST(Containers, AMisbehavingLibdskChildMakesADamagedImageInTime) {
    const std::string dir = TempDir("child");
    WriteBytes(dir + "/disk.td0", ByteString{'T', 'D', 0, 0x15, 0, 0, 0, 0});
    const struct {
        const char* what;
        std::function<int(int)> body;
        const char* message;
    } rows[] = {
        {"crash", [](int) -> int { std::abort(); },
         "not a Teledisk image: libdsk's reader stopped with signal 6 (Aborted)"},
        {"hang",
         [](int) -> int {
             for (;;)
                 pause();
         },
         "not a Teledisk image: libdsk's reader took longer than 1 s"},
        {"flood",
         [](int fd) {
             const ByteString junk(65536, 'x');
             while (WriteAll(fd, junk.data(), junk.size())) {
             }
             return 0;
         },
         "not a Teledisk image: libdsk's reader sent more than 1048576 bytes"},
        {"failure", [](int) { return 3; },
         "not a Teledisk image: libdsk's reader ended with status 3"},
        {"garbage",
         [](int fd) {
             return WriteAll(fd,
                             "KDSK\x01"
                             "D\x03tel",
                             9)
                        ? 0
                        : 1;
         },
         "not a Teledisk image: the reader's answer is cut off at byte 7"},
    };
    for (const auto& row : rows) {
        ContainerOptions options;
        options.libdsk.limits.timeLimit = std::chrono::milliseconds(1000);
        options.libdsk.limits.maxBytes = 1 << 20;
        options.libdsk.childForTests = row.body;
        const auto start = std::chrono::steady_clock::now();
        const OpenedContainer opened = OpenContainer(dir + "/disk.td0", options);
        const auto took = std::chrono::steady_clock::now() - start;
        EXPECT_EQ(opened.container, nullptr) << row.what;
        EXPECT_EQ(opened.error, row.message) << row.what;
        EXPECT_LT(took, std::chrono::milliseconds(2500)) << row.what;
    }
    // The window's STOP button stops a child that is still reading.
    EventHook stop;
    stop.SetAbort(true);
    ContainerOptions stopped;
    stopped.libdsk.limits.hook = &stop;
    stopped.libdsk.childForTests = rows[1].body;
    EXPECT_EQ(OpenContainer(dir + "/disk.td0", stopped).error,
              "not a Teledisk image: libdsk's reader was stopped");
    // Images on which libdsk itself crashes, or writes to the file it reads without end (found
    // by fuzzing): libdsk only ever sees a private copy.
    const struct {
        const char* file;
        const char* message;
    } found[] = {
        {"ydsk-geometry-divides-by-zero.ydsk",
         "not a YAZE YDSK image: libdsk's reader stopped with signal 8 (Floating point exception)"},
        {"copyqm-crashes-libdsk.cqm",
         "not a CopyQM image: libdsk's reader stopped with signal 11 (Segmentation fault)"},
        {"ldbs-grows-its-file-without-end.ldbs",
         "not a LibDsk block store image: libdsk's reader stopped with signal 25 (File size limit "
         "exceeded)"},
    };
    for (const auto& row : found) {
        const std::string path = dir + "/" + row.file;
        fs::copy_file(SUITE_BAD_CONTAINERS_DIR "/" + std::string(row.file), path);
        const ByteString before = ReadHostFile(path);
        EXPECT_EQ(OpenContainer(path).error, row.message);
        EXPECT_EQ(ReadHostFile(path), before) << row.file;
    }
}
