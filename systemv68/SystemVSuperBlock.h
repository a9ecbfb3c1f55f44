// The System V super block: 512 bytes at byte 512 of the disk (logical sectors 2 and 3), all
// fields big-endian. It gives the size of the inode list and of the file system, the free
// block and free inode caches, the update time, the volume state, the magic number and the
// block size code from which the volume's geometry follows.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

class DisplaySink;

using SuperBlockBytes = std::array<std::uint8_t, 512>;

inline constexpr std::int32_t SuperBlockMagic = static_cast<std::int32_t>(0xFD187E20u);

// Volume states as the 32-bit value stored in the super block.
inline constexpr std::int32_t StateClean = 0x7C269D38;
inline constexpr std::int32_t StateActive = 0x5E72D81A;
inline constexpr std::int32_t StateBadRoot = static_cast<std::int32_t>(0xCB096F43u);
inline constexpr std::int32_t StateBadBlock = static_cast<std::int32_t>(0xBADBC14Bu);

struct SuperBlock {
    std::int32_t InodeListEnd = 0; // first block after the inode list
    std::int32_t TotalBlocks = 0;
    std::int32_t FreeListCount = 0;
    std::array<std::int32_t, 50> FreeList{};
    std::int32_t FreeInodeCount = 0;
    std::array<std::int32_t, 100> FreeInodeList{};
    int FreeListLock = 0;
    int InodeListLock = 0;
    int Modified = 0;
    int ReadOnlyFlag = 0;
    std::int32_t LastUpdate = 0;
    std::array<std::int32_t, 4> DeviceInfo{};
    std::int32_t FreeBlocks = 0;
    std::int32_t FreeInodes = 0;
    std::string FileSystemName; // up to 6 characters, ended by a zero byte
    std::string PackName;
    std::int32_t State = 0;
    std::int32_t Magic = 0;
    std::int32_t FsType = 0; // 1 = 512, 2 = 1024, 5 = 8192 bytes per block
    SuperBlockBytes raw{};   // the 512 bytes as read, for the raw dump
};

SuperBlock DecodeSuperBlock(const SuperBlockBytes& raw);

// What the open disk's reads are based on.
struct VolumeGeometry {
    std::int32_t BlockSize = 512;
    std::int32_t SectorsPerBlock = 2; // 256-byte logical sectors per block
    std::int32_t InodeBlocks = 0;
    std::int32_t InodeCount = 0;
    std::int32_t VolumeBlocks = 0;
    bool IsExplorable = false; // the right magic and 1024-byte blocks
};

// Derives the geometry from the super block. A block size code other than 1, 2 or 5 leaves
// the block size as it was.
void SetGeometry(const SuperBlock& super, VolumeGeometry& geometry);

// "Volume is Clean " and the other state lines; "" for a value of no known state.
std::string StateText(std::int32_t state);

// The super block text: decoded fields, then the raw 512 bytes.
void DisplaySuperBlock(DisplaySink& sink, const SuperBlock& super);

// Characters up to the first zero byte, at most length of them.
std::string ZeroEndedText(std::span<const std::uint8_t> bytes, std::size_t offset,
                          std::size_t length);
