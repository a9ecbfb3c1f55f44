// The block map of a System V file: the inode's first ten addresses name the file's first ten
// blocks; address 10 names a single indirect block whose entries (32-bit big-endian block
// numbers, BlockSize / 4 of them) name the next blocks; address 11 a double indirect block
// whose entries name single indirect blocks; address 12 a triple indirect block. Address 0
// anywhere is a hole: the blocks it would cover read as zeros.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

class BlockMap {
  public:
    enum class Lookup {
        Found,  // address set (0 for a hole)
        Beyond, // the index lies past what the map can address
        Failed, // an indirect block could not be read
    };

    // Reads the indirect block at address and decodes its entries; false when it cannot.
    using ReadIndirect =
        std::function<bool(std::int32_t address, std::vector<std::int32_t>& entries)>;

    explicit BlockMap(std::int32_t entriesPerBlock) : m_entries(entriesPerBlock) {}

    // Forgets the indirect blocks kept from earlier lookups (another file, another volume).
    void Reset();

    // The address of the file's block index. Indirect blocks are read through read and kept,
    // so a walk through the file reads each of them once. For a hole (address 0) holeBlocks
    // gets the number of blocks of the hole from index on: the rest of the range of an
    // indirect address that is 0, or the run of 0 entries in the indirect block.
    Lookup Find(const std::array<std::int32_t, 13>& addresses, std::int64_t index,
                std::int32_t& address, const ReadIndirect& read,
                std::int64_t* holeBlocks = nullptr);

    // Blocks that the map can address: 10 + n + n^2 + n^3 for n entries per indirect block.
    std::int64_t Capacity() const;

  private:
    struct Level {
        std::int32_t address = -1; // the indirect block held, -1 none
        std::vector<std::int32_t> entries;
    };
    // Entry slot of the indirect block at address, read into level unless it holds it already.
    Lookup Entry(Level& level, std::int32_t address, std::int64_t slot, std::int32_t& result,
                 const ReadIndirect& read);

    std::int32_t m_entries;
    // One kept block per depth below the inode: [0] the block named by address 10, 11 or 12.
    // A block is kept by its address, so two paths to the same block share it.
    std::array<Level, 3> m_levels;
};
