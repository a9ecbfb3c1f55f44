// A System V/68 volume in memory with the objects Tamarin reads it through.
#pragma once

#include "DisplaySink.h"
#include "EventHook.h"
#include "ScriptedPrompts.h"
#include "SectorSource.h"
#include "SystemV68Samples.h"
#include "modTamarin68.h"

#include <cstdint>
#include <set>
#include <string>

// Sectors in memory that count the reads that fail, as a drive reports each of them.
class CountingSectors : public MemorySectors {
  public:
    using MemorySectors::MemorySectors;
    bool ReadSector(std::int32_t lsn, std::span<std::uint8_t> buffer) override {
        ++reads;
        if (failing.count(lsn) || !MemorySectors::ReadSector(lsn, buffer)) {
            ++failures;
            return false;
        }
        return true;
    }
    std::set<std::int32_t> failing; // sectors that cannot be read
    int reads = 0;
    int failures = 0;
};

struct TamarinFixture {
    explicit TamarinFixture(ByteString image)
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
