#include "DiskBytes.h"

#include <algorithm>

bool BytesAsSectors::ReadSectors(std::int32_t lsn, std::int32_t count,
                                 std::span<std::uint8_t> buffer) {
    const std::int64_t size = m_size;
    if (lsn < 0 || count < 0 || static_cast<std::int64_t>(buffer.size()) < count * size)
        return false;
    const std::int64_t start = std::int64_t{lsn} * size;
    const std::int64_t length = std::int64_t{count} * size;
    // Every sector of the run must start inside the view.
    if (count > 0 && start + length - size >= m_bytes.Size()) return false;
    const std::int64_t inside = std::min(length, m_bytes.Size() - start);
    const std::span<std::uint8_t> run = buffer.first(static_cast<std::size_t>(length));
    if (!m_bytes.Read(start, run.first(static_cast<std::size_t>(inside)))) return false;
    std::fill(run.begin() + inside, run.end(), 0);
    return true;
}
