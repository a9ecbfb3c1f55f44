#include "SystemVBlockMap.h"

void BlockMap::Reset() {
    for (Level& level : m_levels) {
        level.address = -1;
        level.entries.clear();
    }
}

std::int64_t BlockMap::Capacity() const {
    const std::int64_t n = m_entries;
    return 10 + n + n * n + n * n * n;
}

BlockMap::Lookup BlockMap::Entry(Level& level, std::int32_t address, std::int64_t slot,
                                 std::int32_t& result, const ReadIndirect& read) {
    if (level.address != address) {
        level.address = -1;
        level.entries.clear();
        if (!read(address, level.entries)) return Lookup::Failed;
        level.address = address;
    }
    const auto i = static_cast<std::size_t>(slot);
    result = i < level.entries.size() ? level.entries[i] : 0;
    return Lookup::Found;
}

BlockMap::Lookup BlockMap::Find(const std::array<std::int32_t, 13>& addresses, std::int64_t index,
                                std::int32_t& address, const ReadIndirect& read,
                                std::int64_t* holeBlocks) {
    address = 0;
    if (holeBlocks) *holeBlocks = 1;
    if (index < 0) return Lookup::Beyond;
    if (index < 10) {
        address = addresses[static_cast<std::size_t>(index)];
        return Lookup::Found;
    }
    // Which indirect address the index falls under, and its depth: the number of indirect
    // blocks between the inode and the data block.
    const std::int64_t n = m_entries;
    std::int64_t rest = index - 10;
    std::int64_t span = n; // data blocks under one block at the top level
    int depth = 1;
    while (rest >= span) {
        rest -= span;
        span *= n;
        if (++depth > 3) return Lookup::Beyond;
    }
    std::int32_t next = addresses[static_cast<std::size_t>(9 + depth)];
    std::int64_t slot = 0;
    for (int d = 0; d < depth; ++d) {
        // A hole at any level covers every block below it.
        if (next == 0) {
            if (holeBlocks) *holeBlocks = span - rest;
            return Lookup::Found;
        }
        span /= n;
        slot = rest / span;
        rest %= span;
        std::int32_t entry = 0;
        const Lookup found = Entry(m_levels[static_cast<std::size_t>(d)], next, slot, entry, read);
        if (found != Lookup::Found) return found;
        next = entry;
    }
    address = next;
    if (address == 0 && holeBlocks) {
        const std::vector<std::int32_t>& entries =
            m_levels[static_cast<std::size_t>(depth - 1)].entries;
        std::int64_t run = 1;
        // Entries past what the block held read as 0 too.
        while (slot + run < n && (static_cast<std::size_t>(slot + run) >= entries.size() ||
                                  entries[static_cast<std::size_t>(slot + run)] == 0))
            ++run;
        *holeBlocks = run;
    }
    return Lookup::Found;
}
