#include "QuarryWindowTest.h"

#include "DiskFormat.h"

ByteVector TextBytes(std::size_t size, unsigned seed) {
    ByteVector bytes;
    bytes.reserve(size);
    unsigned line = 0;
    while (bytes.size() < size) {
        const std::string text = "Line " + std::to_string(++line) + " of text " +
                                 std::to_string(seed) + " for the CP/M image\r\n";
        for (char c : text)
            if (bytes.size() < size) bytes.push_back(static_cast<std::uint8_t>(c));
    }
    return bytes;
}

std::string MakeImage(const std::string& folder, const std::string& format, std::uint8_t fill) {
    DiskFormat f;
    f.SetDiskFormat(format);
    const std::string path = folder + "/" + format + ".img";
    WriteFileBytes(path, ByteVector(static_cast<std::size_t>(f.ImageSize), fill));
    return path;
}
