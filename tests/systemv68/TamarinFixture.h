// A System V/68 volume in memory with the objects Tamarin reads it through.
#pragma once

#include "DisplaySink.h"
#include "EventHook.h"
#include "Golden.h"
#include "ScriptedPrompts.h"
#include "SectorSource.h"
#include "SystemV68Samples.h"
#include "modTamarin68.h"

#include <cstdint>
#include <fstream>
#include <set>
#include <string>

// Sectors in memory that count the reads that fail, as a drive reports each of them.
class CountingSectors : public MemorySectors {
  public:
    using MemorySectors::MemorySectors;
    bool ReadSector(std::int32_t lsn, std::span<std::uint8_t> buffer) override {
        if (failing.count(lsn) || !MemorySectors::ReadSector(lsn, buffer)) {
            ++failures;
            return false;
        }
        return true;
    }
    std::set<std::int32_t> failing; // sectors that cannot be read
    int failures = 0;
};

// The sample volume, built once: its inodes, its builder (with the addresses Build chose) and
// its bytes.
struct Sample {
    SampleInodes n;
    SystemV68Builder b = SampleSystemV68(&n);
    ByteString image = b.Build();
};
inline const Sample& TheSample() {
    static const Sample sample;
    return sample;
}

struct TamarinFixture {
    explicit TamarinFixture(ByteString image = TheSample().image)
        : disk(std::move(image), 256), volume(disk, prompts) {}
    explicit TamarinFixture(SystemV68Builder builder) : TamarinFixture(builder.Build()) {}

    bool Open() { return volume.OpenVolume(); }
    std::string Take() {
        std::string text = sink.Text();
        sink.Clear();
        return text;
    }

    CountingSectors disk;
    ScriptedPrompts prompts;
    EventHook hook;
    modTamarin68 volume;
    StringSink sink;
};

// Puts a 3-byte block address into slot k of an inode of a built image.
inline void PutAddress(ByteString& image, std::int32_t ino, int k, std::uint32_t value) {
    const std::size_t at =
        SystemV68Builder::InodeOffset(ino) + 12 + 3 * static_cast<std::size_t>(k);
    image.at(at) = static_cast<std::uint8_t>(value >> 16);
    image.at(at + 1) = static_cast<std::uint8_t>(value >> 8);
    image.at(at + 2) = static_cast<std::uint8_t>(value);
}
