// Writes the seed corpora of the fuzz targets into OUT/imagedisk, OUT/versados, OUT/cpm,
// OUT/systemv68 and OUT/fat, from the builders the tests use: ImageDisk images of the usual
// layouts and of damaged records, the sample VersaDOS and System V/68 volumes as ImageDisk files
// and as bare sectors, images of all ten CP/M formats with files added by Quarry itself, and
// small FAT12 and FAT16 volumes with long names, sub-directories and a partition table.
// scripts/fuzz adds the images that the peer tools make.
#include "CpmSeeds.h"
#include "FatImageBuilder.h"
#include "ImdBuilder.h"
#include "SystemV68Samples.h"
#include "VersaDOSSamples.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

void Write(const fs::path& path, const ByteString& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

// The sectors without the zero sectors at their end.
ByteString TrimmedSectors(ByteString sectors) {
    std::size_t end = sectors.size();
    while (end >= 256 && std::all_of(sectors.begin() + static_cast<std::ptrdiff_t>(end - 256),
                                     sectors.begin() + static_cast<std::ptrdiff_t>(end),
                                     [](std::uint8_t b) { return b == 0; }))
        end -= 256;
    sectors.resize(end);
    return sectors;
}

void ImageDiskSeeds(const fs::path& dir) {
    const ByteString volume = SampleVolume().Build();
    Write(dir / "sample-floppy8.imd",
          ImdFromLogicalSectors(volume, ImdLayout::Floppy8(), "Sample volume").Build());
    ByteString small(40 * 256);
    for (std::size_t i = 0; i < small.size(); ++i)
        small[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
    Write(dir / "uniform256.imd",
          ImdFromLogicalSectors(small, ImdLayout::Uniform256(2, 10), "Uniform").Build());
    // One of each kind of record and map.
    ImdBuilder mixed("Mixed records");
    mixed.AddTrack(ImdTrack::Uniform(0, 0, 8, ImdSize::S128, ImdMode::Fm500)
                       .Compress(2, 0xE5)
                       .MakeUnavailable(3)
                       .SetType(4, 5)
                       .SetType(5, 9));
    mixed.AddTrack(ImdTrack::Uniform(0, 1, 6, ImdSize::S256, ImdMode::Mfm500, 3)
                       .WithCylinderMap(0)
                       .WithHeadMap(1));
    mixed.AddTrack(ImdTrack::Uniform(1, 0, 4, ImdSize::S512, ImdMode::Mfm300));
    ImdTrack cut = ImdTrack::Uniform(1, 1, 4, ImdSize::S256, ImdMode::Mfm250);
    cut.countOverride = 6;
    mixed.AddTrack(cut);
    Write(dir / "mixed.imd", mixed.Build());
}

void VersaDOSSeeds(const fs::path& dir) {
    const ByteString volume = SampleVolume().Build();
    Write(dir / "sample.imd",
          ImdFromLogicalSectors(volume, ImdLayout::Floppy8(), "Sample volume").Build());
    Write(dir / "sample.sectors", TrimmedSectors(volume));
    VersaDOSBuilder chained = ChainedSampleVolume();
    Write(dir / "chained.sectors", TrimmedSectors(chained.Build()));
}

void SystemV68Seeds(const fs::path& dir) {
    const ByteString volume = SampleSystemV68().Build();
    Write(dir / "sample.imd",
          ImdFromLogicalSectors(volume, ImdLayout::Floppy8(), "Sample volume").Build());
    Write(dir / "sample.sectors", TrimmedSectors(volume));
}

FatImageBuilder SmallFat12() {
    FatGeometry g;
    g.totalSectors = 240;
    g.sectorsPerFat = 2;
    g.rootEntries = 32;
    FatImageBuilder image(g);
    int n = image.RootLongName(0, u"A long file name.txt", "ALONGF~1TXT", 2, 0);
    image.FileData({2, 3}, std::string(700, 'x') + "\r\nend\r\n");
    FatImageBuilder::ShortEntry(image.RootEntry(n - 1), "ALONGF~1TXT", 0x20, 2, 707);
    n = image.RootLongName(n, u"Folder", "FOLDER     ", 5, 0);
    image.RootEntry(n - 1)[11] = 0x10;
    image.Chain({5});
    FatImageBuilder::ShortEntry(image.ClusterEntry(5, 0), ".          ", 0x10, 5, 0);
    FatImageBuilder::ShortEntry(image.ClusterEntry(5, 1), "..         ", 0x10, 0, 0);
    FatImageBuilder::ShortEntry(image.ClusterEntry(5, 2), "INNER   BIN", 0x20, 6, 3);
    FatImageBuilder::ShortEntry(image.ClusterEntry(5, 3), "SUB        ", 0x10, 7, 0);
    image.FileData({6}, "abc");
    image.Chain({7});
    FatImageBuilder::ShortEntry(image.ClusterEntry(7, 0), ".          ", 0x10, 7, 0);
    FatImageBuilder::ShortEntry(image.ClusterEntry(7, 1), "..         ", 0x10, 5, 0);
    FatImageBuilder::ShortEntry(image.ClusterEntry(7, 2), "DEEP    TXT", 0x20, 8, 4);
    image.FileData({8}, "deep");
    FatImageBuilder::ShortEntry(image.RootEntry(n), "LABEL      ", 0x08, 0, 0);
    return image;
}

void FatSeeds(const fs::path& dir) {
    FatImageBuilder fat12 = SmallFat12();
    Write(dir / "fat12.img", fat12.Bytes());
    // The same volume behind a master boot record, as partition 1 at sector 1.
    ByteString disk(512, 0);
    disk[446] = 0x80;
    disk[446 + 4] = 0x01;
    disk[446 + 8] = 1;
    disk[446 + 12] = static_cast<std::uint8_t>(fat12.Bytes().size() / 512);
    disk[446 + 13] = static_cast<std::uint8_t>(fat12.Bytes().size() / 512 / 256);
    disk[510] = 0x55;
    disk[511] = 0xAA;
    disk.insert(disk.end(), fat12.Bytes().begin(), fat12.Bytes().end());
    Write(dir / "partitioned.img", disk);
    // FAT16 needs 4085 clusters: the boot sector says so, the image holds the first 120 KB.
    FatGeometry g;
    g.fatType = 16;
    g.totalSectors = 4600;
    g.sectorsPerFat = 18;
    g.rootEntries = 64;
    g.systemId = "FAT16   ";
    FatImageBuilder fat16(g);
    int n = fat16.RootLongName(0, u"Sixteen bits.dat", "SIXTEE~1DAT", 2, 0);
    fat16.FileData({2, 3, 4}, std::string(1200, 's'));
    FatImageBuilder::ShortEntry(fat16.RootEntry(n - 1), "SIXTEE~1DAT", 0x20, 2, 1200);
    ByteString cut = fat16.Bytes();
    cut.resize(120 * 1024);
    Write(dir / "fat16-cut.img", cut);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_fuzz_seeds OUT\n");
        return 2;
    }
    try {
        const fs::path out(argv[1]);
        for (const char* target : {"imagedisk", "versados", "cpm", "systemv68", "fat"})
            fs::create_directories(out / target);
        const fs::path work = out / "work";
        fs::create_directories(work);
        ImageDiskSeeds(out / "imagedisk");
        VersaDOSSeeds(out / "versados");
        CpmSeeds(out / "cpm", work);
        SystemV68Seeds(out / "systemv68");
        FatSeeds(out / "fat");
        fs::remove_all(work);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_fuzz_seeds: %s\n", e.what());
        return 1;
    }
    return 0;
}
