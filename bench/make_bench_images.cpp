// Writes the ImageDisk inputs of the benchmarks, made with the test builders:
//   kestrel-full.imd   a VersaDOS volume on a full 77 x 2 x 26 x 256 ImageDisk floppy, every
//                      sector of it in use by files of the four types
//   kestrel-big.imd    a VersaDOS volume holding the contiguous file 1.BENCH.BIG.DB of 1 MB
//   tamarin-big.imd    a System V/68 volume holding /big, a file of 1 MB
//   big.bin            the 1 MB that both big files hold, for the peer tools
// The bytes are pseudo-random so that no sector is stored as a compressed record.
#include "ImdBuilder.h"
#include "SystemV68Builder.h"
#include "VersaDOSBuilder.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

namespace {

constexpr std::size_t BigSize = 1 << 20;

ByteString RandomBytes(std::size_t size, std::uint32_t seed) {
    ByteString bytes(size);
    std::uint32_t state = seed * 2654435761u + 1;
    for (std::uint8_t& b : bytes) {
        state = state * 1664525u + 1013904223u;
        b = static_cast<std::uint8_t>(state >> 24);
    }
    return bytes;
}

// Lines of text, blanks runs compressed as VersaDOS editors store them.
ByteString TextRecord(int line) {
    std::string text = "LINE" + std::to_string(line) + "    MOVE.L  D" + std::to_string(line % 8) +
                       ",(A" + std::to_string(line % 7) + ")+";
    ByteString record(text.begin(), text.end());
    record.push_back(0x88);
    record.insert(record.end(), {'*', ' ', 'c', 'o', 'm', 'm', 'e', 'n', 't'});
    return record;
}

// Fills a floppy with files until no more fit: contiguous files, sequential text, fixed-length
// records and keyed files in turn.
void WriteFullFloppy(const std::string& path) {
    VersaDOSBuilder b;
    b.volumeName = "FULL";
    b.descriptor = "BENCH FULL VOLUME";
    b.totalSectors = 77 * 2 * 26;
    BuiltCatalog& catalog = b.AddCatalog(1, "BENCH");
    for (int n = 0;; ++n) {
        BuiltFile f;
        f.name = "F" + std::to_string(n);
        f.extension = "DB";
        f.fileType = n % 4 == 3 ? 2 : n % 4 == 0 ? 0 : 1;
        if (f.fileType == 0) {
            f.contiguous = RandomBytes(40 * 256, static_cast<std::uint32_t>(n));
        } else if (n % 4 == 1) {
            f.extension = "SA";
            for (int line = 0; line < 500; ++line)
                f.records.push_back(TextRecord(line));
        } else if (n % 4 == 2) {
            f.recordLength = 64;
            for (int r = 0; r < 150; ++r)
                f.records.push_back(RandomBytes(64, static_cast<std::uint32_t>(n * 1000 + r)));
        } else {
            f.keyLength = 6;
            for (int r = 0; r < 200; ++r) {
                ByteString record = RandomBytes(40, static_cast<std::uint32_t>(n * 1000 + r));
                const std::string key = "K" + std::to_string(10000 + r);
                std::copy(key.begin(), key.end(), record.begin());
                f.records.push_back(record);
            }
        }
        VersaDOSBuilder attempt = b;
        attempt.catalogs[0].files.push_back(f);
        try {
            attempt.Build();
        } catch (const std::exception&) {
            break; // the volume is full
        }
        catalog.files.push_back(f);
    }
    ImdFromLogicalSectors(b.Build(), ImdLayout::Uniform256(2, 26, 77), "Benchmark: full volume")
        .Write(path);
}

void WriteKestrelBig(const std::string& path, const ByteString& big) {
    VersaDOSBuilder b;
    b.volumeName = "BIG";
    b.descriptor = "BENCH BIG FILE";
    b.totalSectors = 80 * 2 * 26;
    BuiltFile f;
    f.name = "BIG";
    f.extension = "DB";
    f.fileType = 0;
    f.contiguous = big;
    b.AddCatalog(1, "BENCH").files.push_back(f);
    ImdFromLogicalSectors(b.Build(), ImdLayout::Uniform256(2, 26, 80), "Benchmark: 1 MB file")
        .Write(path);
}

void WriteTamarinBig(const std::string& path, const ByteString& big) {
    SystemV68Builder b;
    b.totalBlocks = 90 * 2 * 26 / 4;
    b.AddFile(2, "big", big);
    ImdFromLogicalSectors(b.Build(), ImdLayout::Uniform256(2, 26, 90), "Benchmark: 1 MB file")
        .Write(path);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_bench_images FOLDER\n");
        return 2;
    }
    try {
        const std::filesystem::path folder(argv[1]);
        std::filesystem::create_directories(folder);
        const ByteString big = RandomBytes(BigSize, 11);
        std::ofstream out(folder / "big.bin", std::ios::binary);
        out.write(reinterpret_cast<const char*>(big.data()),
                  static_cast<std::streamsize>(big.size()));
        if (!out.flush()) throw std::runtime_error("cannot write big.bin");
        WriteFullFloppy((folder / "kestrel-full.imd").string());
        WriteKestrelBig((folder / "kestrel-big.imd").string(), big);
        WriteTamarinBig((folder / "tamarin-big.imd").string(), big);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_bench_images: %s\n", e.what());
        return 1;
    }
    return 0;
}
