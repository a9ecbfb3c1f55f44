#include "CpmImage.h"

#include "DiskContainer.h"

#include "FormatDetection.h"
#include "HostError.h"
#include "OpenImages.h"
#include "OpenWith.h"
#include "OutputFile.h"
#include "Prompts.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr const char* TitleGetSector = "Error Getting Sector From Image";
constexpr const char* TitlePutSector = "Error Putting Sector From Image";
constexpr const char* TitleOpen = "Error Openning Image File";
constexpr const char* TitleFileSize = "Error Getting File Size";
constexpr const char* TitleLock = "Error Locking Image File";

// Large enough that filling a whole image takes few calls.
constexpr std::int64_t FillChunk = 1 << 20;

HostError PastEnd(std::int64_t position, std::int64_t size) {
    return {63, "Bad record number: byte " + std::to_string(position) +
                    " lies past the end of the image (" + std::to_string(size) + " bytes)"};
}

std::vector<FileRange> Joined(std::vector<FileRange> ranges) {
    std::sort(ranges.begin(), ranges.end(),
              [](const FileRange& a, const FileRange& b) { return a.position < b.position; });
    std::vector<FileRange> joined;
    for (const FileRange& r : ranges) {
        if (r.length <= 0) continue;
        if (!joined.empty() && joined.back().position + joined.back().length >= r.position) {
            const std::int64_t end =
                std::max(joined.back().position + joined.back().length, r.position + r.length);
            joined.back().length = end - joined.back().position;
        } else {
            joined.push_back(r);
        }
    }
    return joined;
}

FileStamp StampFrom(const struct stat& info) {
    return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
            static_cast<std::int64_t>(info.st_size),
            static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

} // namespace

FileStamp StampOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return {};
    return StampFrom(info);
}

std::int64_t GetFileSize(const std::string& name, Prompts& prompts) {
    struct stat info {};
    int err = 0;
    if (::stat(name.c_str(), &info) != 0)
        err = errno;
    else if (S_ISDIR(info.st_mode))
        err = EISDIR;
    else if (!S_ISREG(info.st_mode))
        err = ENODEV;
    else if (::access(name.c_str(), R_OK) != 0)
        err = errno;
    if (err != 0) {
        prompts.MessageBox(TitleFileSize, ErrorReport(HostErrorFromErrno(err, name), ErrorSource));
        return -1;
    }
    return static_cast<std::int64_t>(info.st_size);
}

CpmImage::~CpmImage() {
    if (m_fd >= 0) CloseImageFile(m_fd);
}

bool CpmImage::OpenContainerIfAny() {
    m_container.reset();
    m_damage.clear();
    m_containerReason.clear();
    m_containerChanged = false;
    ContainerType type;
    if (!m_containerType.empty()) {
        std::string problem;
        const std::optional<ContainerType> named = FindContainerType(m_containerType, problem);
        if (!named) {
            m_prompts.MessageBox(TitleOpen, m_name + ": " + problem);
            return false;
        }
        type = *named;
    } else {
        std::vector<std::uint8_t> start(
            static_cast<std::size_t>(std::clamp<std::int64_t>(m_size, 0, DetectionBytes)));
        if (::pread(m_fd, start.data(), start.size(), 0) != static_cast<ssize_t>(start.size()))
            return true; // a short flat file: read as one
        type = DetectContainer({start, m_size, m_name});
    }
    if (type.family == ContainerFamily::Raw) return true;
    OpenedContainer opened = OpenContainer(m_name, {.type = type.name, .libdsk = {}});
    if (!opened.container) {
        m_prompts.MessageBox(TitleOpen, m_name + ": " + opened.error);
        return false;
    }
    m_container = std::move(opened.container);
    m_containerStamp = Stamp();
    m_damage = m_container->Flat().Damage();
    m_damageSaid = false;
    const Writability writability = m_container->CanWrite();
    if (!writability.Writable()) {
        if (!m_readOnly) m_containerReason = writability.reason;
        m_readOnly = true;
    }
    m_size = m_container->Flat().Size();
    return true;
}

std::string CpmImage::ContainerReadOnlyText() const {
    if (!m_container || m_containerReason.empty()) return "";
    return m_name + " is in a container (" + m_container->Type().title +
           ") that cannot be written back: " + m_containerReason;
}

bool CpmImage::WriteBackContainer() {
    if (!m_container || !m_containerChanged) return true;
    m_containerChanged = false;
    WriteBack back = m_container->WriteBackChanges();
    // Quarry opens a flat file as itself, so every container it writes is made anew.
    HostError error;
    if (back.ok) {
        OutputFile out;
        if (!out.OpenReplacingImage(m_name) || !out.Write(back.image) || !out.Close()) {
            error = out.Error();
            out.Discard();
        }
    }
    if (!back.ok || error) {
        m_changeLost = true;
        m_prompts.MessageBox(TitlePutSector,
                             m_name +
                                 ": the change was not written, and the image file is as it "
                                 "was: " +
                                 (back.ok ? error.description : back.problem));
        // The disk in memory holds the change the file does not: it is read again.
        ReopenContainer();
        return false;
    }
    if (!TakeReplacement()) return false;
    // The container is read again from the new file, which is what the next change starts from.
    return ReopenContainer();
}

void CpmImage::ReportErrno(int err, const char* title) {
    m_prompts.MessageBox(title, ErrorReport(HostErrorFromErrno(err, m_name), ErrorSource));
}

CpmImage::Detection CpmImage::DetectDiskFormat(bool warnUnknown) {
    if (m_name.empty()) return Detection::NoImage;
    CloseImage();
    m_readOnly = m_readOnlyRequested;
    m_size = GetFileSize(m_name, m_prompts);
    m_candidates.clear();
    if (!OpenImage()) return Detection::NoImage;
    if (!OpenContainerIfAny()) {
        CloseImage();
        return Detection::NoImage;
    }
    if (const FormatChoice choice = ChooseFormat(*this, m_size, !m_readOnlyRequested);
        !choice.candidates.empty()) {
        m_format.SetFormat(choice.candidates.front());
        if (choice.decided) return Detection::Known;
        m_candidates = choice.candidates;
        return Detection::Ambiguous;
    }
    if (warnUnknown)
        m_prompts.MessageBox("Disk Type Not Known",
                             WithOpenWithHint("Type of disk could NOT be determined.\r\n"
                                              "Serious damage can occur if you continue",
                                              m_name));
    return Detection::Unknown;
}

bool CpmImage::OpenImage() {
    if (m_fd >= 0) {
        CloseImageFile(m_fd);
        m_fd = -1;
    }
    // The open image is listed as such, so that no host file written while it is open (an
    // upload, a saved display) can replace it.
    HostError error;
    if (!m_readOnly) {
        m_fd = OpenImageFile(m_name, true, error);
        if (m_fd >= 0) return true;
        if (error.number != RunTimeError::PathFileAccessError) {
            m_prompts.MessageBox(TitleOpen, ErrorReport(error, ErrorSource));
            return false;
        }
        m_readOnly = true;
        m_fd = OpenImageFile(m_name, false, error);
        if (m_fd < 0) {
            m_prompts.MessageBox(TitleOpen, ErrorReport(error, ErrorSource));
            return false;
        }
        m_prompts.MessageBox("File has no write access", "Opened file as R/O - " + m_name);
        return true;
    }
    m_fd = OpenImageFile(m_name, false, error);
    if (m_fd < 0) {
        m_prompts.MessageBox(TitleOpen, ErrorReport(error, ErrorSource));
        return false;
    }
    return true;
}

void CpmImage::CloseImage() {
    m_container.reset();
    if (m_fd < 0) return;
    CloseImageFile(m_fd);
    m_fd = -1;
    m_locked = false;
}

FileStamp CpmImage::Stamp() const {
    struct stat info {};
    if (m_fd < 0 || ::fstat(m_fd, &info) != 0) return {};
    return StampFrom(info);
}

bool CpmImage::IsImageFile(const std::string& path) const {
    const FileStamp open = Stamp();
    const FileStamp named = StampOf(path);
    return open.size >= 0 && named.size >= 0 && open.device == named.device &&
           open.inode == named.inode;
}

bool CpmImage::ReopenIfReplaced() {
    if (m_fd < 0) return false;
    const FileStamp named = StampOf(m_name);
    if (named.size < 0) {
        // Writing on would change a file that no name leads to any more.
        ReportErrno(ENOENT, TitleOpen);
        return false;
    }
    const FileStamp open = Stamp();
    if (named.device == open.device && named.inode == open.inode) {
        // A container changed in place by another program is read again.
        if (!m_container || open == m_containerStamp) return true;
        return ReopenContainer();
    }
    if (!OpenImage()) return false;
    if (m_container) return ReopenContainer();
    RefreshFileSize();
    return true;
}

bool CpmImage::ReopenContainer() {
    m_container.reset();
    RefreshFileSize();
    const bool readOnly = m_readOnly;
    m_readOnly = false;
    const bool opened = OpenContainerIfAny();
    m_readOnly = m_readOnly || readOnly;
    if (!opened) CloseImage();
    return opened;
}

bool CpmImage::Lock(std::chrono::milliseconds wait) {
    m_writeFailed = false;
    if (m_fd < 0) return false;
    if (m_locked) return true;
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        if (::flock(m_fd, LOCK_EX | LOCK_NB) == 0) break;
        const int err = errno;
        if (err == EINTR) continue;
        // A file system that keeps no locks cannot be guarded this way; the change goes ahead.
        if (err != EWOULDBLOCK) return true;
        if (std::chrono::steady_clock::now() >= deadline) {
            m_prompts.MessageBox(TitleLock, InUseText);
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    m_locked = true;
    return true;
}

bool CpmImage::TakeReplacement() {
    HostError error;
    const int fd = OpenImageFile(m_name, !m_readOnly, error);
    if (fd < 0) {
        m_prompts.MessageBox(TitleOpen, ErrorReport(error, ErrorSource));
        return false;
    }
    // The new file is nobody else's yet: the lock is taken at once where locks are kept.
    const bool locked = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    CloseImageFile(m_fd);
    m_fd = fd;
    m_locked = locked;
    RefreshFileSize();
    return true;
}

void CpmImage::Unlock() {
    if (m_fd >= 0 && m_locked) ::flock(m_fd, LOCK_UN);
    m_locked = false;
}

bool CpmImage::Fail(int err, const char* title) {
    if (!m_writeFailed) ReportErrno(err, title);
    m_writeFailed = true;
    return false;
}

bool CpmImage::Sync() {
    if (m_fd < 0 || m_writeFailed) return false;
    if (::fdatasync(m_fd) != 0) return Fail(errno, TitlePutSector);
    return true;
}

std::int64_t CpmImage::RefreshFileSize() {
    if (m_fd < 0 || m_container) return m_size;
    struct stat info {};
    if (::fstat(m_fd, &info) != 0) {
        ReportErrno(errno, TitleFileSize);
        return -1;
    }
    m_size = static_cast<std::int64_t>(info.st_size);
    return m_size;
}

bool CpmImage::ReadAt(std::int64_t position, std::span<std::uint8_t> buffer, const char* title) {
    std::fill(buffer.begin(), buffer.end(), std::uint8_t{0xE5});
    if (m_fd < 0) return false;
    if (m_container) {
        if (position >= m_size) return true; // past the end: 0xE5, as for a flat image
        const std::size_t inside =
            static_cast<std::size_t>(std::min<std::int64_t>(m_size - position, buffer.size()));
        if (!m_container->Flat().Read(position, buffer.first(inside))) {
            ReportErrno(EIO, title);
            return false;
        }
        // A sector the container holds no good data for reads as unused bytes, not as the zeros
        // the container keeps in its place: no entry or file byte is made up from it. The first
        // such sector is said once; every read that meets one fails.
        bool damaged = false;
        for (const DamagedRange& d : m_damage) {
            const std::int64_t from = std::max(position, d.start);
            const std::int64_t to = std::min<std::int64_t>(position + inside, d.start + d.length);
            if (from >= to) continue;
            std::fill_n(buffer.begin() + (from - position), to - from, std::uint8_t{0xE5});
            if (!damaged && !m_damageSaid)
                m_prompts.MessageBox(title, m_name + ": cylinder " + std::to_string(d.cylinder) +
                                                ", head " + std::to_string(d.head) + ", sector " +
                                                std::to_string(d.sector) +
                                                " could not be read; its bytes are left out");
            damaged = m_damageSaid = true;
        }
        return !damaged;
    }
    std::size_t done = 0;
    while (done < buffer.size()) {
        const ssize_t n = ::pread(m_fd, buffer.data() + done, buffer.size() - done,
                                  static_cast<off_t>(position + static_cast<std::int64_t>(done)));
        if (n < 0) {
            if (errno == EINTR) continue;
            ReportErrno(errno, title);
            return false;
        }
        if (n == 0) break; // past the end: the rest stays 0xE5
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool CpmImage::CheckInside(std::int64_t position, std::int64_t length, const char* title) {
    if (m_fd < 0 || m_writeFailed) return false;
    if (position < 0 || position + length > m_size) {
        m_prompts.MessageBox(
            title,
            ErrorReport(PastEnd(std::max<std::int64_t>(position, m_size), m_size), ErrorSource));
        m_writeFailed = true;
        return false;
    }
    return true;
}

int CpmImage::PutAt(std::int64_t position, std::span<const std::uint8_t> buffer) {
    if (m_container) {
        if (!m_container->Flat().Write(position, buffer)) return EIO;
        m_containerChanged = true;
        return 0;
    }
    std::size_t done = 0;
    while (done < buffer.size()) {
        const ssize_t n = ::pwrite(m_fd, buffer.data() + done, buffer.size() - done,
                                   static_cast<off_t>(position + static_cast<std::int64_t>(done)));
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return EIO;
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

bool CpmImage::WriteAt(std::int64_t position, std::span<const std::uint8_t> buffer,
                       const char* title) {
    if (!CheckInside(position, static_cast<std::int64_t>(buffer.size()), title)) return false;
    if (const int err = PutAt(position, buffer)) return Fail(err, title);
    return true;
}

bool CpmImage::Restore(std::int64_t position, std::span<const std::uint8_t> buffer) {
    if (m_fd < 0 || position < 0 || position + static_cast<std::int64_t>(buffer.size()) > m_size)
        return false;
    return PutAt(position, buffer) == 0;
}

bool CpmImage::FillRanges(std::vector<FileRange> ranges, std::uint8_t value, const char* title) {
    ranges = Joined(std::move(ranges));
    for (const FileRange& r : ranges)
        if (!CheckInside(r.position, r.length, title)) return false;
    std::int64_t longest = 0;
    for (const FileRange& r : ranges)
        longest = std::max(longest, r.length);
    const Bytes chunk(static_cast<std::size_t>(std::min(longest, FillChunk)), value);
    bool ok = true;
    for (const FileRange& r : ranges) {
        for (std::int64_t done = 0; done < r.length && ok;) {
            const std::int64_t n = std::min<std::int64_t>(r.length - done, FillChunk);
            ok = WriteAt(r.position + done, std::span(chunk.data(), static_cast<std::size_t>(n)),
                         title);
            done += n;
        }
    }
    return ok;
}

bool CpmImage::ReadRecord(std::int64_t record, std::span<std::uint8_t> buffer) {
    return ReadAt(m_format.FilePosition(record * RecordSize), buffer.first(RecordSize),
                  TitleGetSector);
}

bool CpmImage::WriteRecord(std::int64_t record, std::span<const std::uint8_t> buffer) {
    return WriteAt(m_format.FilePosition(record * RecordSize), buffer.first(RecordSize),
                   TitlePutSector);
}

std::vector<FileRange> CpmImage::BlockRanges(int block) const {
    const int perBlock = m_format.RecordsPerBlock();
    std::vector<FileRange> ranges;
    for (int r = 0; r < perBlock; ++r) {
        const std::int64_t record = static_cast<std::int64_t>(block) * perBlock + r;
        const std::int64_t position = m_format.FilePosition(record * RecordSize);
        if (!ranges.empty() && ranges.back().position + ranges.back().length == position)
            ranges.back().length += RecordSize;
        else
            ranges.push_back({position, RecordSize});
    }
    return ranges;
}

bool CpmImage::BlockInImage(int block) const {
    for (const FileRange& r : BlockRanges(block))
        if (r.position < 0 || r.position + r.length > m_size) return false;
    return true;
}

bool CpmImage::ReadBlock(int block, std::span<std::uint8_t> buffer) {
    bool ok = true;
    std::size_t at = 0;
    for (const FileRange& r : BlockRanges(block)) {
        const auto n = static_cast<std::size_t>(r.length);
        ok = ReadAt(r.position, buffer.subspan(at, n), TitleGetSector) && ok;
        at += n;
    }
    return ok;
}

bool CpmImage::WriteBlock(int block, std::span<const std::uint8_t> buffer) {
    const std::vector<FileRange> ranges = BlockRanges(block);
    for (const FileRange& r : ranges)
        if (!CheckInside(r.position, r.length, TitlePutSector)) return false;
    std::size_t at = 0;
    for (const FileRange& r : ranges) {
        const auto n = static_cast<std::size_t>(r.length);
        if (!WriteAt(r.position, buffer.subspan(at, n), TitlePutSector)) return false;
        at += n;
    }
    return true;
}

bool CpmImage::ReadEntryBytes(int entry, std::span<std::uint8_t> buffer, const char* title) {
    return ReadAt(m_format.FilePosition(static_cast<std::int64_t>(entry) * 32), buffer.first(32),
                  title);
}

bool CpmImage::WriteEntryBytes(int entry, std::span<const std::uint8_t> buffer, const char* title) {
    return WriteAt(m_format.FilePosition(static_cast<std::int64_t>(entry) * 32), buffer.first(32),
                   title);
}
