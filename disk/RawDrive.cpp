#include "RawDrive.h"

#include "OpenImages.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <unistd.h>

RawGeometry RawGeometryFor(std::int64_t length) {
    switch (length) {
    case 0:
        return {80, 2, 36};
    case 163840:
        return {40, 1, 8};
    case 184320:
        return {40, 1, 9};
    case 327680:
        return {40, 2, 8};
    case 368640:
        return {40, 2, 9};
    case 737280:
        return {80, 2, 9};
    case 1228800:
        return {80, 2, 15};
    case 1474560:
        return {80, 2, 18};
    case 1720320:
        return {80, 2, 21};
    default:
        return {80, 2, 18};
    }
}

RawDrive::~RawDrive() {
    CloseDrive();
}

HostError RawDrive::OpenDrive(const std::string& path) {
    CloseDrive();
    m_slot.ReadOnly = true;
    HostError error;
    const int fd = OpenImageFile(path, false, error);
    if (fd < 0) return error;
    m_fd = fd;
    m_length = ImageFileLength(fd);
    m_slot.FileName = path;
    m_slot.FileTitle = std::filesystem::path(path).filename().string();
    m_slot.IsOpen = true;
    m_slot.FailedReads = 0;
    SetRawGeometry();
    return {};
}

void RawDrive::CloseDrive() {
    CloseImageFile(m_fd);
    m_fd = -1;
    m_length = 0;
    m_slot.FileName.clear();
    m_slot.FileTitle.clear();
    m_slot.IsOpen = false;
}

void RawDrive::SetRawGeometry() {
    const RawGeometry geometry = RawGeometryFor(m_length);
    m_slot.Tracks = geometry.Tracks;
    m_slot.Heads = geometry.Heads;
    m_slot.SectorsPerTrack = geometry.SectorsPerTrack;
    m_slot.PhysicalSectorSize = kSectorSize;
    m_slot.LogicalSectorSize = kSectorSize;
}

std::int64_t RawDrive::ReadAt(std::int64_t position, std::uint8_t* data,
                              std::int64_t length) const {
    std::int64_t done = 0;
    while (done < length) {
        const ssize_t got = ::pread(m_fd, data + done, static_cast<std::size_t>(length - done),
                                    static_cast<off_t>(position + done));
        if (got < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (got == 0) break;
        done += got;
    }
    return done;
}

bool RawDrive::ReadSector(std::int32_t lsn, std::span<std::uint8_t> buffer) {
    if (!ReadSectors(lsn, 1, buffer)) return false;
    std::memcpy(m_sector.data(), buffer.data(), kSectorSize);
    return true;
}

bool RawDrive::ReadSectors(std::int32_t lsn, std::int32_t count, std::span<std::uint8_t> buffer) {
    if (ReadRun(lsn, count, buffer)) return true;
    ++m_slot.FailedReads;
    return false;
}

bool RawDrive::ReadRun(std::int32_t lsn, std::int32_t count, std::span<std::uint8_t> buffer) {
    if (m_fd < 0 || lsn < 0 || count < 0) return false;
    const std::int64_t length = static_cast<std::int64_t>(count) * kSectorSize;
    if (buffer.size() < static_cast<std::size_t>(length)) return false;
    if (count == 0) return true;
    const std::int64_t position = static_cast<std::int64_t>(lsn) * kSectorSize + m_partitionOffset;
    if (position < 0) return false;
    const std::int64_t got = ReadAt(position, buffer.data(), length);
    if (got < 0) return false;
    std::memset(buffer.data() + got, 0, static_cast<std::size_t>(length - got));
    // Every sector of the run must at least begin inside the file.
    return got > length - kSectorSize;
}

bool RawDrive::ReadBootSector() {
    std::array<std::uint8_t, kSectorSize> sector{};
    const bool ok = ReadSector(0, sector);
    m_sector = sector;
    m_boot = sector;
    return ok;
}
