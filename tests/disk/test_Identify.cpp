// Identification of a box of images: one of each kind the suite knows, in every container,
// damaged and foreign files among them; the real images of other machines each named right or
// "unknown". Nothing is ever written.
#include "Identify.h"
#include "ImdBuilder.h"
#include "cli/SuiteProbes.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void WriteAll(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Every file below folder with its bytes, to show that identification changed nothing.
std::map<std::string, std::string> Snapshot(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file()) files[entry.path().string()] = ReadAll(entry.path());
    return files;
}

struct Expected {
    const char* file;
    const char* fileSystem; // "unknown" when none is found; "" when the file cannot be read
    const char* program;
    bool damaged;
};

} // namespace

// A master boot record with one FAT12 partition at sector 63, followed by the volume (shared with
// the --json test).
std::string PartitionedDisk(const std::string& volume) {
    std::string disk(63 * 512, '\0');
    const std::uint32_t sectors = static_cast<std::uint32_t>(volume.size() / 512);
    unsigned char* entry = reinterpret_cast<unsigned char*>(disk.data()) + 446;
    entry[4] = 0x01;
    entry[8] = 63;
    for (int i = 0; i < 4; ++i)
        entry[12 + i] = static_cast<unsigned char>(sectors >> (8 * i));
    disk[510] = '\x55';
    disk[511] = '\xAA';
    return disk + volume;
}

TEST(Identify, OneImageOfEachKindAndTheOddOnes) {
    const fs::path samples = SUITE_SAMPLES_DIR;
    const fs::path box = fs::temp_directory_path() / ("identify-box-" + std::to_string(getpid()));
    fs::remove_all(box);
    fs::create_directories(box);
    for (const char* name :
         {"kestrel-sample.imd", "tamarin-sample.imd", "quarry-sample.img", "osprey-sample.img"})
        fs::copy_file(samples / name, box / name);
    const std::string fat = ReadAll(samples / "osprey-sample.img");
    WriteAll(box / "partitioned.img", PartitionedDisk(fat));
    const std::string imd = ReadAll(samples / "kestrel-sample.imd");
    WriteAll(box / "cut-short.imd", imd.substr(0, imd.size() / 2));
    WriteAll(box / "notes.txt", "Box 12: eight disks, labels faded\n");
    // The CP/M sample as ImageDisk with the sector of its first directory entries lost (track
    // 2, sector 1): the zeros kept in its place are no entries.
    const std::string cpm = ReadAll(samples / "quarry-sample.img");
    ImdBuilder lost =
        ImdFromFlat(ByteString(cpm.begin(), cpm.end()), 1, 26, ImdSize::S128, ImdMode::Fm500);
    DamageSector(lost, 2 * 26, 26, ImdRecord::Unavailable);
    lost.Write((box / "cpm-lost-directory.imd").string());
    const bool dsktrans = std::system(("HOME=" + box.string() +
                                       " dsktrans -itype raw -otype tele -format "
                                       "ibm1440 " +
                                       (samples / "osprey-sample.img").string() + " " +
                                       (box / "fat.td0").string() + " >/dev/null 2>&1")
                                          .c_str()) == 0;
    fs::remove_all(box / ".libdskrc");

    std::vector<Expected> cases = {
        {"kestrel-sample.imd", "VersaDOS", "Kestrel", false},
        {"tamarin-sample.imd", "System V/68", "Tamarin", false},
        {"quarry-sample.img", "CP/M", "Quarry", false},
        {"osprey-sample.img", "FAT12", "Osprey", false},
        {"partitioned.img", "FAT12", "Osprey", false},
        {"cut-short.imd", "VersaDOS", "Kestrel", true},
        {"cpm-lost-directory.imd", "CP/M", "Quarry", true},
        {"notes.txt", "unknown", "", false},
        {"missing.imd", "", "", false},
    };
    if (dsktrans) cases.push_back({"fat.td0", "FAT12", "Osprey", false});

    const auto before = Snapshot(box);
    const std::vector<FileSystemProbe> probes = SuiteProbes();
    for (const Expected& want : cases) {
        SCOPED_TRACE(want.file);
        const Identification id = IdentifyImage((box / want.file).string(), probes);
        EXPECT_EQ(id.read, *want.fileSystem != '\0');
        if (!id.read) continue;
        EXPECT_EQ(id.found ? id.found->fileSystem : "unknown", want.fileSystem);
        EXPECT_EQ(id.found ? id.found->program : "", want.program);
        EXPECT_EQ(!id.damage.empty(), want.damaged) << id.damage;
    }
    EXPECT_EQ(Snapshot(box), before);

    const Identification partitioned = IdentifyImage((box / "partitioned.img").string(), probes);
    EXPECT_EQ(IdentifyLine(partitioned),
              (box / "partitioned.img").string() +
                  ": raw, FAT12 (partition 1 at byte offset 32256), Osprey");
    EXPECT_EQ(partitioned.found->offset, 32256);
    EXPECT_EQ(IdentifyLine(IdentifyImage((box / "quarry-sample.img").string(), probes)),
              (box / "quarry-sample.img").string() + ": raw, CP/M (IBM-3740), Quarry");
    const Identification cp = IdentifyImage((box / "quarry-sample.img").string(), probes);
    EXPECT_EQ(OpenWithText(*cp.found, "Osprey"),
              "This is a CP/M image (IBM-3740): open it with Quarry");
    EXPECT_EQ(OpenWithText(*cp.found, "Quarry"), "");
    if (!dsktrans) std::cout << "dsktrans (libdsk-utils) is not installed: no Teledisk case\n";
    fs::remove_all(box);
}

// The real images: FAT volumes and CP/M disks named as such (FAT32 named but opened by none of
// the suite, the UCSD p-System disk of CP/M size unknown), the Kaypro 4 disk with two lost
// sectors CP/M and damaged, the ImageDisk files of other systems (and the RC702 CP/M disks,
// whose mixed tracks no disk definition describes) unknown; none of them changed.
TEST(Identify, RealImages) {
    const fs::path real = SUITE_REAL_IMAGES_DIR;
    if (!fs::is_directory(real)) GTEST_SKIP() << real << " is not there: no real images";
    const fs::path work = fs::temp_directory_path() / ("identify-real-" + std::to_string(getpid()));
    fs::create_directories(work);
    const auto before = Snapshot(real);
    const std::vector<FileSystemProbe> probes = SuiteProbes();
    int images = 0;
    for (const auto& entry : fs::recursive_directory_iterator(real)) {
        fs::path image = entry.path();
        const std::string kind = image.parent_path().filename().string();
        if (!entry.is_regular_file() || image.filename() == "SOURCES.md") continue;
        if (image.extension() == ".xxd") {
            const fs::path raw = work / image.stem();
            ASSERT_EQ(
                std::system(("xxd -r '" + image.string() + "' '" + raw.string() + "'").c_str()), 0);
            image = raw;
        }
        SCOPED_TRACE(image.string());
        const Identification id = IdentifyImage(image.string(), probes);
        ASSERT_TRUE(id.read) << id.problem;
        const std::string found = id.found ? id.found->fileSystem : "unknown";
        const std::string name = image.filename().string();
        if (kind == "fat")
            EXPECT_EQ(found.substr(0, 3), "FAT");
        else if (kind == "cpm")
            EXPECT_EQ(found, name.find("ucsd") != std::string::npos ? "unknown" : "CP/M");
        else if (name == "SBASIC.imd")
            EXPECT_EQ(IdentifyLine(id), image.string() +
                                            ": ImageDisk, CP/M (kpiv), Quarry, damaged: 2 sectors "
                                            "not readable, the first at cylinder 0 head 0 sector "
                                            "1 (unavailable)");
        else
            EXPECT_EQ(found, "unknown");
        if (found == "FAT32") EXPECT_EQ(id.found->program, "");
        ++images;
    }
    EXPECT_GE(images, 40);
    EXPECT_EQ(Snapshot(real), before);
    fs::remove_all(work);
}
