#include "OpenImages.h"

#include <cerrno>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

// Device and inode of every open image, with the number of descriptors open on it.
struct Registry {
    std::mutex lock;
    std::map<std::pair<dev_t, ino_t>, int> images;
};

Registry& Images() {
    static Registry registry;
    return registry;
}

// What a path that is not an image file is, in the user's words.
std::string KindOf(mode_t mode) {
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISFIFO(mode)) return "a named pipe (FIFO)";
    if (S_ISCHR(mode)) return "a character device";
    if (S_ISSOCK(mode)) return "a socket";
    return "not a regular file";
}

} // namespace

int OpenImageFile(const std::string& path, bool writable, HostError& error) {
    error = {};
    const int fd =
        ::open(path.c_str(), (writable ? O_RDWR : O_RDONLY) | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        // A socket cannot be opened at all (ENXIO); say what it is rather than "not ready".
        struct stat info {};
        if (errno == ENXIO && ::stat(path.c_str(), &info) == 0 && S_ISSOCK(info.st_mode))
            error = {RunTimeError::PathFileAccessError, path + " is a socket, not an image file"};
        else
            error = HostErrorFromErrno(errno, path);
        return -1;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        error = HostErrorFromErrno(errno, path);
        ::close(fd);
        return -1;
    }
    if (S_ISDIR(info.st_mode)) {
        // As the programs have always reported a folder: error 75, "Is a directory".
        error = HostErrorFromErrno(EISDIR, path);
        ::close(fd);
        return -1;
    }
    if (!S_ISREG(info.st_mode) && !S_ISBLK(info.st_mode)) {
        error = {RunTimeError::PathFileAccessError,
                 path + " is " + KindOf(info.st_mode) + ", not an image file"};
        ::close(fd);
        return -1;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        error = HostErrorFromErrno(errno, path);
        ::close(fd);
        return -1;
    }
    Registry& registry = Images();
    const std::lock_guard<std::mutex> hold(registry.lock);
    ++registry.images[{info.st_dev, info.st_ino}];
    return fd;
}

void CloseImageFile(int fd) {
    if (fd < 0) return;
    struct stat info {};
    if (::fstat(fd, &info) == 0) {
        Registry& registry = Images();
        const std::lock_guard<std::mutex> hold(registry.lock);
        const auto it = registry.images.find({info.st_dev, info.st_ino});
        if (it != registry.images.end() && --it->second <= 0) registry.images.erase(it);
    }
    ::close(fd);
}

std::int64_t ImageFileLength(int fd) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) return 0;
    if (S_ISBLK(info.st_mode)) {
        const off_t end = ::lseek(fd, 0, SEEK_END);
        return end < 0 ? 0 : static_cast<std::int64_t>(end);
    }
    return static_cast<std::int64_t>(info.st_size);
}

bool IsOpenImage(dev_t device, ino_t inode) {
    Registry& registry = Images();
    const std::lock_guard<std::mutex> hold(registry.lock);
    return registry.images.count({device, inode}) != 0;
}
