#include "RawFileBytes.h"

#include <algorithm>
#include <cstring>

HostError RawFileBytes::Open(const std::string& path) {
    m_changed.clear();
    return m_file.Open(path);
}

bool RawFileBytes::ReadFile(std::int64_t position, std::span<std::uint8_t> target) {
    return !m_file.Read(position + 1, target);
}

bool RawFileBytes::Read(std::int64_t position, std::span<std::uint8_t> target) {
    if (position < 0) return false;
    const std::int64_t size = Size();
    const std::int64_t inside =
        position >= size ? 0 : std::min<std::int64_t>(size - position, std::ssize(target));
    if (inside > 0 && !ReadFile(position, target.first(static_cast<std::size_t>(inside))))
        return false;
    // Changed blocks overlay what the file holds.
    for (auto it = m_changed.lower_bound(position / BlockSize);
         it != m_changed.end() && it->first * BlockSize < position + inside; ++it) {
        const std::int64_t from = std::max(position, it->first * BlockSize);
        const std::int64_t to = std::min(position + inside, (it->first + 1) * BlockSize);
        std::memcpy(target.data() + (from - position),
                    it->second.data() + (from - it->first * BlockSize),
                    static_cast<std::size_t>(to - from));
    }
    return inside == std::ssize(target);
}

bool RawFileBytes::Write(std::int64_t position, std::span<const std::uint8_t> bytes) {
    const std::int64_t size = Size();
    if (position < 0 || position > size || size - position < std::ssize(bytes)) return false;
    std::int64_t at = position;
    std::size_t done = 0;
    while (done < bytes.size()) {
        const std::int64_t block = at / BlockSize;
        auto it = m_changed.find(block);
        if (it == m_changed.end()) {
            const std::int64_t length = std::min(BlockSize, size - block * BlockSize);
            std::vector<std::uint8_t> original(static_cast<std::size_t>(length));
            if (!ReadFile(block * BlockSize, original)) return false;
            it = m_changed.emplace(block, std::move(original)).first;
        }
        const std::int64_t within = at - block * BlockSize;
        const std::size_t count = std::min<std::size_t>(
            it->second.size() - static_cast<std::size_t>(within), bytes.size() - done);
        std::memcpy(it->second.data() + within, bytes.data() + done, count);
        done += count;
        at += static_cast<std::int64_t>(count);
    }
    return true;
}

std::vector<BytePatch> RawFileBytes::Changes() const {
    std::vector<BytePatch> patches;
    for (const auto& [block, bytes] : m_changed)
        patches.push_back({block * BlockSize, bytes});
    return patches;
}
