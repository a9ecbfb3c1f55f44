// Identification of the real images of other machines, each named right or "unknown", and of
// damaged disks; nothing is ever written. A box of built images of every kind is in the osprey
// command-line cases.
#include "Golden.h"
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

// Every file below folder with its bytes, to show that identification changed nothing.
std::map<std::string, std::vector<std::uint8_t>> Snapshot(const fs::path& folder) {
    std::map<std::string, std::vector<std::uint8_t>> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file()) files[entry.path().string()] = ReadHostFile(entry.path());
    return files;
}

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

// The CP/M sample as ImageDisk with the sector of its first directory entries lost (track 2,
// sector 1): the zeros the container keeps in its place are no entries, and the disk is still
// CP/M, damaged.
TEST(Identify, ACpmDiskWhoseFirstDirectorySectorIsLost) {
    const fs::path box = TempDir("identify-lost");
    ImdBuilder lost = ImdFromFlat(ReadHostFile(SUITE_SAMPLES_DIR "/quarry-sample.img"), 1, 26,
                                  ImdSize::S128, ImdMode::Fm500);
    DamageSector(lost, 2 * 26, 26, ImdRecord::Unavailable);
    lost.Write((box / "cpm.imd").string());
    const Identification id = IdentifyImage((box / "cpm.imd").string(), SuiteProbes());
    ASSERT_TRUE(id.read && id.found);
    EXPECT_EQ(id.found->fileSystem, "CP/M");
    EXPECT_FALSE(id.damage.empty());
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
