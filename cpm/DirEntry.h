// A CP/M directory entry: 32 bytes. The first, the status byte, says what the entry is: 0..15 a
// file entry of that user, 16..31 a password entry (user + 16), 0x20 a disk label, 0x21 date and
// time stamps, 0xE5 empty. A file entry holds the name (8 bytes) and type (3), bit 7 of each an
// attribute; EX (extent number, low 5 bits), S1, S2 (extent number / 32), RC (records in the
// entry's last logical extent), then the block numbers: sixteen of 8 bits on disks of at most 256
// blocks (DirEnt8), else eight of 16 bits, low byte first (DirEnt16).
#pragma once

#include <array>
#include <cstdint>
#include <string>

inline constexpr int EntrySize = 32;
inline constexpr int EmptyStatus = 0xE5;
inline constexpr int LabelStatus = 0x20;
inline constexpr int TimeStampStatus = 0x21;

struct DirEntry {
    std::array<std::uint8_t, EntrySize> bytes{};

    static DirEntry Filled(std::uint8_t value) {
        DirEntry e;
        e.bytes.fill(value);
        return e;
    }

    int Status() const { return bytes[0]; }
    void SetStatus(int status) { bytes[0] = static_cast<std::uint8_t>(status); }
    int EX() const { return bytes[12]; }
    int S1() const { return bytes[13]; }
    int S2() const { return bytes[14]; }
    int RC() const { return bytes[15]; }
    // The extent number the entry's last logical extent carries: EX (low 5 bits) + 32 x S2.
    int ExtentNumber() const { return (bytes[12] & 31) + 32 * (bytes[14] & 63); }

    bool IsFile() const { return Status() < 16; }
    bool IsPassword() const { return Status() >= 16 && Status() < 32; }

    // The 15-character text name: user as two digits, ":", name, ".", type, bit 7 cleared.
    std::string TextName() const;
    // The 8 name and 3 type characters with bit 7 cleared.
    std::string NameChars() const;
    std::string TypeChars() const;
    // Sets the status byte from characters 1-2 of a name text, the name bytes from 4-11 and the
    // type bytes from 13-15.
    void SetName(const std::string& cpmName, int status);
};

// The 8-bit block-number view of an entry.
class DirEnt8 {
  public:
    static constexpr int Pointers = 16;
    explicit DirEnt8(DirEntry& entry) : m_entry(entry) {}
    int Block(int i) const { return m_entry.bytes[16 + i]; }
    void SetBlock(int i, int block) { m_entry.bytes[16 + i] = static_cast<std::uint8_t>(block); }

  private:
    DirEntry& m_entry;
};

// The 16-bit block-number view of an entry (low byte first).
class DirEnt16 {
  public:
    static constexpr int Pointers = 8;
    explicit DirEnt16(DirEntry& entry) : m_entry(entry) {}
    int Block(int i) const { return m_entry.bytes[16 + 2 * i] | (m_entry.bytes[17 + 2 * i] << 8); }
    void SetBlock(int i, int block) {
        m_entry.bytes[16 + 2 * i] = static_cast<std::uint8_t>(block & 0xFF);
        m_entry.bytes[17 + 2 * i] = static_cast<std::uint8_t>((block >> 8) & 0xFF);
    }

  private:
    DirEntry& m_entry;
};

// Block pointer i of an entry in the width of the current format.
int BlockPointer(const DirEntry& entry, int i, bool eightBit);
void SetBlockPointer(DirEntry& entry, int i, int block, bool eightBit);
