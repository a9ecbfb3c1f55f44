// Good volumes with bytes flipped at random (fixed seeds), through Kestrel's whole headless path:
// every walk ends in bounded time, the ImageDisk file is never changed and nothing is saved
// outside the folders given.
#include "Golden.h"
#include "HeadlessPaths.h"
#include "ImdBuilder.h"
#include "SectorSource.h"
#include "TimeBound.h"
#include "VersaDOSSamples.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// The volume's sectors up to the last one that is not all zeros.
ByteString UsedSectors(ByteString sectors) {
    while (sectors.size() >= 256 &&
           std::all_of(sectors.end() - 256, sectors.end(), [](std::uint8_t b) { return b == 0; }))
        sectors.resize(sectors.size() - 256);
    return sectors;
}

ByteString Mutated(const ByteString& good, std::size_t from, std::mt19937& random) {
    ByteString bytes = good;
    const int flips = 1 + static_cast<int>(random() % 12);
    for (int f = 0; f < flips; ++f) {
        const std::size_t at = from + random() % (bytes.size() - from);
        // Extremes reach the bounds of counts and pointers sooner than random values.
        const std::uint32_t kind = random() % 4;
        bytes[at] = kind == 0 ? 0x00 : kind == 1 ? 0xFF : static_cast<std::uint8_t>(random());
    }
    return bytes;
}

// Every path below folder that lies neither in saves nor in target (nor is one of them).
std::vector<std::string> Strays(const fs::path& folder, const fs::path& saves,
                                const fs::path& target, const fs::path& image = {}) {
    std::vector<std::string> strays;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const std::string path = entry.path().string();
        const bool inside = path.rfind(saves.string(), 0) == 0 ||
                            path.rfind(target.string(), 0) == 0 || entry.path() == image;
        if (!inside) strays.push_back(path);
    }
    return strays;
}

} // namespace

TEST(Mutation, DamagedVolumesEndAndSaveOnlyIntoTheirFolders) {
    VersaDOSBuilder chained = ChainedSampleVolume();
    const ByteString goods[] = {UsedSectors(SampleVolume().Build()), UsedSectors(chained.Build())};
    const fs::path folder = TempDir("versados-mutation");
    const fs::path saves = folder / "saves", target = folder / "target";
    std::mt19937 random(20240620);
    for (int round = 0; round < 160; ++round) {
        const ByteString bytes = Mutated(goods[round % 2], 0, random);
        fs::remove_all(saves);
        fs::remove_all(target);
        fs::create_directories(saves);
        fs::create_directories(target);
        RunWithin(5s, "mutated volume round " + std::to_string(round), [&] {
            KestrelPath(std::make_unique<MemorySectors>(bytes, 256), saves.string(),
                        target.string());
        });
        ASSERT_EQ(Strays(folder, saves, target), std::vector<std::string>()) << "round " << round;
    }
}

TEST(Mutation, DamagedImageDiskFilesEndAndStayUnchanged) {
    const ByteString good =
        ImdFromLogicalSectors(SampleVolume().Build(), ImdLayout::Floppy8(), "Mutated").Build();
    const fs::path folder = TempDir("versados-imd-mutation");
    const fs::path image = folder / "image.imd";
    const fs::path saves = folder / "saves", target = folder / "target";
    std::mt19937 random(20240621);
    for (int round = 0; round < 80; ++round) {
        ByteString bytes = Mutated(good, 4, random);
        if (round % 8 == 7) bytes.resize(4 + random() % (bytes.size() - 4));
        WriteHostFile(image, bytes);
        const fs::file_time_type written = fs::last_write_time(image);
        fs::remove_all(saves);
        fs::remove_all(target);
        fs::create_directories(saves);
        fs::create_directories(target);
        RunWithin(5s, "mutated ImageDisk file round " + std::to_string(round),
                  [&] { KestrelImagePath(image.string(), saves.string(), target.string()); });
        ASSERT_EQ(ReadHostFile(image), bytes) << "round " << round;
        ASSERT_EQ(fs::last_write_time(image), written) << "round " << round;
        ASSERT_EQ(Strays(folder, saves, target, image), std::vector<std::string>())
            << "round " << round;
    }
}
