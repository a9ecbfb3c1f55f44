#include "OutputFile.h"

#include "OpenImages.h"

#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::size_t BufferSize = 1 << 20;

std::atomic<bool> s_named{false};

// The descriptor a path stands for: "-" and /dev/stdout are standard output, /dev/stderr is
// standard error, /dev/fd/N and /proc/self/fd/N are descriptor N. These names are symlinks into
// /proc; written through the rules for symlinks they would be replaced, and as root /dev/stdout
// itself would become a regular file.
int DescriptorOf(const std::string& path) {
    if (path == "-" || path == "/dev/stdout") return 1;
    if (path == "/dev/stderr") return 2;
    for (const std::string_view prefix : {"/dev/fd/", "/proc/self/fd/"}) {
        if (path.size() <= prefix.size() || path.compare(0, prefix.size(), prefix) != 0) continue;
        int fd = -1;
        const char* first = path.data() + prefix.size();
        const char* last = path.data() + path.size();
        const auto [end, ec] = std::from_chars(first, last, fd);
        if (ec == std::errc() && end == last && fd >= 0) return fd;
    }
    return -1;
}

std::string KindOf(mode_t mode) {
    if (S_ISFIFO(mode)) return "a named pipe (FIFO)";
    if (S_ISSOCK(mode)) return "a socket";
    if (S_ISBLK(mode)) return "a block device";
    return "not a regular file";
}

// The folder of path and the name in it ("." for a bare name).
std::pair<std::string, std::string> Split(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return {".", path};
    return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

// A name for a temporary beside the target: hidden, and short enough for any file system that
// takes the target's name.
std::string TemporaryName(const std::string& folder, const std::string& name) {
    static std::atomic<unsigned> counter{0};
    return folder + "/." + name.substr(0, 200) + "." + std::to_string(::getpid()) + "-" +
           std::to_string(counter++) + ".part";
}

// Unnamed temporaries are linked in through /proc/self/fd; without /proc they cannot be.
bool UnnamedTemporariesWork() {
    static const bool work = ::access("/proc/self/fd", X_OK) == 0;
    return work;
}

} // namespace

void OutputFile::UseNamedTemporary(bool named) {
    s_named = named;
}

OutputFile::~OutputFile() {
    if (m_mode != Mode::Closed) Discard();
}

bool OutputFile::Fail(int err, const std::string& what) {
    if (m_error) return false;
    if (err == 0) err = EIO;
    m_error = HostErrorFromErrno(err, m_path);
    const std::string shown = m_path == "-" ? "standard output" : m_path;
    m_error.description =
        shown + (what.empty() ? "" : " (" + what + ")") + ": " + m_error.description;
    // A file that failed once can never be completed: the temporary goes at once, not when the
    // caller gets round to Discard.
    Release();
    return false;
}

bool OutputFile::OpenReplacingImage(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) ||
        !IsOpenImage(info.st_dev, info.st_ino)) {
        if (m_mode != Mode::Closed) Discard();
        m_path = path;
        m_error = {RunTimeError::PathFileAccessError, path + " is not the image that is open"};
        return false;
    }
    m_imageWanted = true;
    const bool opened = Open(path);
    m_imageWanted = false;
    return opened;
}

bool OutputFile::OpenScratch(const std::string& path) {
    const bool opened = Open(path);
    m_flushToDisk = false;
    return opened;
}

bool OutputFile::Open(const std::string& path) {
    if (m_mode != Mode::Closed) Discard();
    m_flushToDisk = true;
    m_path = path;
    m_error = {};
    m_replaces = false;
    m_keepMode = -1;
    m_buffer.clear();
    if (path.empty()) return Fail(ENOENT);

    if (const int fd = DescriptorOf(path); fd >= 0) return OpenDescriptor(fd);

    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        if (errno != ENOENT) return Fail(errno);
        return OpenTemporary();
    }
    if (S_ISLNK(info.st_mode)) {
        // A link to a device writes to the device; any other link is replaced.
        struct stat target {};
        if (::stat(path.c_str(), &target) == 0 && S_ISCHR(target.st_mode)) return OpenDevice();
        m_replaces = true;
        return OpenTemporary();
    }
    if (S_ISCHR(info.st_mode)) return OpenDevice();
    if (S_ISDIR(info.st_mode)) return Fail(EISDIR);
    if (!S_ISREG(info.st_mode)) {
        m_error = {RunTimeError::PathFileAccessError,
                   path + " is " + KindOf(info.st_mode) +
                       ": only a regular file or a character device can be written"};
        return false;
    }
    if (IsOpenImage(info.st_dev, info.st_ino) != m_imageWanted) {
        m_error = m_imageWanted ? HostError{RunTimeError::PathFileAccessError,
                                            path + " is not the image that is open"}
                                : HostError{RunTimeError::FileAlreadyOpen,
                                            path + " is the image that is open: it is never "
                                                   "written over"};
        return false;
    }
    m_replaces = true;
    m_keepMode = static_cast<int>(info.st_mode & 07777);
    return OpenTemporary();
}

bool OutputFile::OpenDescriptor(int fd) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) return Fail(errno);
    if (S_ISREG(info.st_mode) && IsOpenImage(info.st_dev, info.st_ino)) {
        m_error = {RunTimeError::FileAlreadyOpen,
                   (m_path == "-" ? "standard output" : m_path) +
                       " is the image that is open: it is never written over"};
        return false;
    }
    // What the program printed before goes first.
    if (fd == 1) std::fflush(stdout);
    if (fd == 2) std::fflush(stderr);
    m_fd = fd;
    m_mode = Mode::Descriptor;
    return true;
}

bool OutputFile::OpenDevice() {
    // A device may wait in open (a serial line for its carrier); the writes may wait.
    const int fd = ::open(m_path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return Fail(errno);
    struct stat info {};
    const int flags = ::fcntl(fd, F_GETFL);
    if (::fstat(fd, &info) != 0 || !S_ISCHR(info.st_mode) || flags < 0 ||
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        const int err = errno;
        ::close(fd);
        return Fail(S_ISCHR(info.st_mode) ? err : EBUSY, "changed while it was opened");
    }
    m_fd = fd;
    m_mode = Mode::Device;
    return true;
}

bool OutputFile::OpenTemporary() {
    const auto [folder, name] = Split(m_path);
    if (name.empty() || name == "." || name == "..") return Fail(EISDIR);
    if (!s_named && UnnamedTemporariesWork()) {
        const int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        if (fd >= 0) {
            m_fd = fd;
            m_mode = Mode::Unnamed;
        } else if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
            return Fail(errno);
        }
    }
    while (m_mode == Mode::Closed) {
        const std::string temporary = TemporaryName(folder, name);
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return Fail(errno);
        }
        m_fd = fd;
        m_temporary = temporary;
        m_mode = Mode::Named;
    }
    // The new file keeps the permissions of the one it replaces. A file system without
    // permissions refuses; the bytes matter, not the mode.
    if (m_keepMode >= 0) (void)::fchmod(m_fd, static_cast<mode_t>(m_keepMode));
    m_buffer.reserve(BufferSize);
    return true;
}

namespace {
OutputFile::WriteObserver writeObserver = nullptr;
} // namespace

void OutputFile::SetWriteObserver(WriteObserver observer) {
    writeObserver = observer;
}

bool OutputFile::Write(std::span<const std::uint8_t> bytes) {
    if (m_mode == Mode::Closed || m_error) return false;
    if (writeObserver != nullptr && !writeObserver(bytes.size())) return Fail(EINTR, "stopped");
    if (m_buffer.size() + bytes.size() > BufferSize && !FlushBuffer()) return false;
    if (bytes.size() >= BufferSize) return WriteOut(bytes);
    m_buffer.insert(m_buffer.end(), bytes.begin(), bytes.end());
    return true;
}

bool OutputFile::Write(const std::string& text) {
    return Write(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

bool OutputFile::FlushBuffer() {
    if (!WriteOut(m_buffer)) return false;
    m_buffer.clear();
    return true;
}

bool OutputFile::WriteOut(std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return Fail(n < 0 ? errno : EIO);
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool OutputFile::Close() {
    if (m_mode == Mode::Closed || !FlushBuffer()) return false;
    // Closes the descriptor once; false (the error kept) when the close reports a failure.
    const auto closeFile = [this] {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0 || Fail(errno);
    };
    switch (m_mode) {
    case Mode::Descriptor:
        break;
    case Mode::Device:
        if (!closeFile()) return false;
        break;
    case Mode::Named:
        if (m_flushToDisk && ::fsync(m_fd) != 0) return Fail(errno, "fsync");
        if (!closeFile() || !LinkIntoPlace()) return false;
        break;
    case Mode::Unnamed:
        // The unnamed file is linked in through its descriptor: closed after the link.
        if (m_flushToDisk && ::fsync(m_fd) != 0) return Fail(errno, "fsync");
        if (!LinkIntoPlace() || !closeFile()) return false;
        break;
    case Mode::Closed:
        break;
    }
    m_fd = -1;
    m_temporary.clear();
    m_mode = Mode::Closed;
    m_buffer.clear();
    m_buffer.shrink_to_fit();
    return true;
}

bool OutputFile::LinkIntoPlace() {
    const auto [folder, name] = Split(m_path);
    if (m_mode == Mode::Unnamed) {
        const std::string self = "/proc/self/fd/" + std::to_string(m_fd);
        if (!m_replaces) {
            // Nothing was there: the file appears whole under its name in one step.
            if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, m_path.c_str(), AT_SYMLINK_FOLLOW) != 0)
                return Fail(errno, "link");
            return true;
        }
        for (;;) {
            const std::string temporary = TemporaryName(folder, name);
            if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temporary.c_str(), AT_SYMLINK_FOLLOW) ==
                0) {
                m_temporary = temporary;
                break;
            }
            if (errno != EEXIST) return Fail(errno, "link");
        }
    }
    if (::rename(m_temporary.c_str(), m_path.c_str()) != 0) return Fail(errno, "rename");
    m_temporary.clear();
    // The rename itself reaches the disk with the folder. A folder that cannot be synced does not
    // make the file wrong: it is complete and in place.
    if (!m_flushToDisk) return true;
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        (void)::fsync(dir);
        ::close(dir);
    }
    return true;
}

void OutputFile::Release() {
    if (m_fd >= 0 && m_mode != Mode::Descriptor) ::close(m_fd);
    if (!m_temporary.empty()) ::unlink(m_temporary.c_str());
    m_fd = -1;
    m_temporary.clear();
    m_buffer.clear();
    m_mode = Mode::Closed;
}

void OutputFile::Discard() {
    Release();
}
