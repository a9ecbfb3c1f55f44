// Fuzz target of Quarry's reading commands. The first input byte picks one of the ten formats;
// the rest is laid at the start of the data area (the directory first) of an image file of
// exactly that format's size, whose other bytes are 0xE5 in the directory and zero beyond it.
// QuarryReadingPath runs on it (format by size, listings, Type, Dump and Upload of every file):
// none of these may change the image or write anywhere but the upload folder.
#include "DiskFormat.h"
#include "FuzzSupport.h"
#include "HeadlessPaths.h"

#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <span>
#include <unistd.h>
#include <vector>

namespace {

// Enough for the largest directory (2048 entries, 64 KB) and the first blocks of files.
constexpr std::size_t MaxInput = 96 * 1024;

// The image of row's size with bytes at the start of its data area.
std::string MakeImage(const DiskFormatRow& row, std::span<const std::uint8_t> bytes) {
    const std::string path = ScratchDir() + "/image.img";
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0 || ::ftruncate(fd, row.ImageSize) != 0) std::abort();
    const std::int64_t directoryBytes = (static_cast<std::int64_t>(row.DRM) + 1) * 32;
    // The directory can lie past the first data track of a skewed format: E5 over twice its size.
    std::vector<std::uint8_t> area(
        static_cast<std::size_t>(std::min(row.ImageSize - row.DataAreaOffset, 2 * directoryBytes)),
        0xE5);
    std::copy_n(bytes.begin(), std::min(bytes.size(), area.size()), area.begin());
    if (::pwrite(fd, area.data(), area.size(), row.DataAreaOffset) < 0) std::abort();
    if (bytes.size() > area.size() &&
        ::pwrite(fd, bytes.data() + area.size(), bytes.size() - area.size(),
                 row.DataAreaOffset + static_cast<std::int64_t>(area.size())) < 0)
        std::abort();
    ::close(fd);
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    size = std::min(size, MaxInput); // as libFuzzer cuts a longer seed
    if (size < 1) return 0;
    const DiskFormatRow& row = FormatTable()[data[0] % FormatCount];
    const std::string image = MakeImage(row, {data + 1, size - 1});
    const FileState before = StateOf(image);
    const std::string uploads = FreshScratchFolder("uploads");
    QuarryReadingPath(image, uploads);
    RequireUnchanged(image, before, "Quarry's reading commands");
    RequireNothingOutside({uploads}, {image});
    return 0;
}
