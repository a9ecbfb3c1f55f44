// System V inodes: 64 bytes each, big-endian, in the inode list that starts at block 2; inode n
// (from 1) lies at byte (n - 1) * 64 of the list. An inode holds the file's type and
// permissions, link count, owner, size, 13 block addresses of 3 bytes (ten direct blocks, then
// the single, double and triple indirect blocks) and three times. A link count of 0 marks a
// free inode.
#pragma once

#include "modUtility.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class DisplaySink;
class EventHook;

inline constexpr int InodeSize = 64;
inline constexpr std::int32_t RootInode = 2;

struct Inode {
    std::int32_t Mode = 0;
    std::int32_t Links = 0;
    std::int32_t Uid = 0;
    std::int32_t Gid = 0;
    std::int32_t Size = 0;
    std::array<std::int32_t, 13> BlockAddr{};
    std::int32_t ATime = 0;
    std::int32_t MTime = 0;
    std::int32_t CTime = 0;
};

// Decodes the inode at byte base of the raw inode list.
Inode DecodeInode(ByteSpan list, int base);

bool IsDirectory(const Inode& inode);
// "Regular File", "Directory", ... for the type in bits 12..15 of mode.
std::string FileTypeText(std::int32_t mode);

// The decoded inode list: entry n is inode n, entry 0 stays empty.
class InodeTable {
  public:
    void Clear() { m_inodes.assign(1, Inode{}); }
    // Decodes the inodes of whole sectors of the raw list and adds them after the last one.
    void AppendSectors(ByteSpan sectors);

    std::int32_t InodeCount() const { return static_cast<std::int32_t>(m_inodes.size()) - 1; }
    bool InRange(std::int32_t n) const { return n >= 1 && n <= InodeCount(); }
    // In range and not free.
    bool InUse(std::int32_t n) const { return InRange(n) && m_inodes[Index(n)].Links != 0; }
    // Inode n; an empty (free) inode when n is out of range.
    const Inode& Get(std::int32_t n) const;
    // "iNode n is not in the inode table (1 to count)", for an inode out of range.
    std::string OutOfRangeText(std::int32_t n) const;

    // The inode summary; nothing for an inode out of range or free.
    void DisplayInode(DisplaySink& sink, std::int32_t n) const;
    // The summary and the 13 block addresses.
    void DisplayInodeFull(DisplaySink& sink, std::int32_t n) const;
    // Every inode in use, in order; stops when the hook's abort flag is set.
    void DisplayInodeTable(DisplaySink& sink, EventHook& hook) const;

  private:
    static std::size_t Index(std::int32_t n) { return static_cast<std::size_t>(n); }
    std::string InodeText(std::int32_t n) const;
    std::string InodeFullText(std::int32_t n) const;

    std::vector<Inode> m_inodes = std::vector<Inode>(1);
};
