// How a child process that read a disk with libdsk sends it to the parent: a byte stream that
// the parent parses with every length and count checked, because the child may have been
// misled by a hostile image (or may be something else entirely, in the tests).
//
//   "KDSK" 1                                   signature and version
//   'R' u16 length, text                       the library refused the image; or
//   'D' u8 length, driver name, u32 length, comment
//   then per track: 'T' u8 cylinder, u8 head, u8 size code, u32 data rate (kbit/s), u8 FM,
//       u16 sector count, and per sector
//       u8 ID cylinder, u8 ID head, u8 ID sector, u8 size code, u32 size, u8 status,
//       u8 deleted, and size data bytes unless the status is unavailable
//   'E'                                         the end
// Numbers are little-endian.
#pragma once

#include "PhysicalDisk.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

class DiskStreamWriter {
  public:
    explicit DiskStreamWriter(int fd) : m_fd(fd) {}
    ~DiskStreamWriter() { Flush(); }
    void Refusal(const std::string& text);
    void DiskHeader(const std::string& driver, const std::string& comment);
    void Track(const PhysicalTrack& track, std::size_t sectors);
    void Sector(const PhysicalSector& sector, std::span<const std::uint8_t> data);
    void End();
    // false once a write to the pipe has failed.
    bool Flush();

  private:
    void Put(std::span<const std::uint8_t> bytes);
    void U8(std::uint32_t value);
    void U16(std::uint32_t value);
    void U32(std::uint32_t value);

    int m_fd;
    bool m_failed = false;
    std::vector<std::uint8_t> m_buffer;
};

struct StreamedDisk {
    bool refused = false;
    std::string refusal; // the library's words when it refused the image
    std::string driver;
    std::string comment;
    PhysicalDisk disk;
};

// Parses a stream; false with problem set when it is malformed or describes more than a disk
// may hold.
bool ParseDiskStream(std::span<const std::uint8_t> bytes, StreamedDisk& result,
                     std::string& problem);
