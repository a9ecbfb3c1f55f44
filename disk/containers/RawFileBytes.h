// A raw sector dump as a view: the file's bytes are the disk's bytes (a flat floppy image, or an
// EXORmacs or VME hard disk kept as its 256-byte sectors one after another). The file is read
// where it lies, however large; changes are kept in memory as whole blocks until the caller
// writes them into the file in place.
#pragma once

#include "DiskBytes.h"
#include "ImageFile.h"

#include <map>
#include <string>
#include <vector>

struct BytePatch {
    std::int64_t position = 0; // 0-based in the file
    std::vector<std::uint8_t> bytes;
};

class RawFileBytes : public DiskBytes {
  public:
    static constexpr std::int64_t BlockSize = 512;

    // Opens path for reading; the host error when it cannot be opened.
    HostError Open(const std::string& path);

    std::int64_t Size() const override { return m_file.Length(); }
    bool Read(std::int64_t position, std::span<std::uint8_t> target) override;
    bool Write(std::int64_t position, std::span<const std::uint8_t> bytes) override;
    // A raw dump knows no damage: every byte the file holds was read.
    std::vector<DamagedRange> Damage() const override { return {}; }

    // The changed blocks, each with its position in the file.
    std::vector<BytePatch> Changes() const;

  private:
    bool ReadFile(std::int64_t position, std::span<std::uint8_t> target);

    ImageFile m_file;
    std::map<std::int64_t, std::vector<std::uint8_t>> m_changed; // by block number
};
