// A host file being written: the one way every program writes a file on the host.
//
// - A regular file is written as a new file in the target's folder (on Linux an unnamed
//   O_TMPFILE; where the file system has none, a hidden named one), flushed to the disk and
//   renamed over the target only when every byte is written. Until then the old file is intact,
//   and a failure or a kill leaves neither a partial file nor a temporary behind (a named
//   temporary is removed on every failure path, but not after a kill).
// - A symlink at the target is replaced by the new file, never written through; the folder it
//   points to, or the file, stays as it is.
// - A character device (/dev/null, a terminal) is written in place and never replaced; so are
//   "-", /dev/stdout, /dev/stderr and /dev/fd/N, which mean the descriptor the program was given.
// - Refused with an error that names the path: an image open in this program (same device and
//   inode, see OpenImages.h), a folder, a FIFO, a socket, a block device.
// Every write, the flush, the fsync, the link and the rename are checked.
#pragma once

#include "HostError.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

class OutputFile {
  public:
    OutputFile() = default;
    ~OutputFile(); // an unfinished file is discarded
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    bool Open(const std::string& path);
    // Opens a new version of the image that is open in this program (and only of it: any other
    // target is refused), which replaces the image as a whole when closed. A writer that changes
    // every byte (a fill) goes this way, so that a kill leaves the old image or the new one,
    // never a mixture. The caller holds the image's lock and reopens the image afterwards.
    bool OpenReplacingImage(const std::string& path);
    // Opens a private scratch file that its maker removes after use (a copy handed to a library
    // that wants a path): written and checked as any other, but not flushed to the disk, as
    // nothing needs it to survive a crash.
    bool OpenScratch(const std::string& path);
    bool Write(std::span<const std::uint8_t> bytes);
    bool Write(const std::string& text);
    // Writes out what is buffered and puts the file in place; false (and the old file, if any,
    // left as it was) when anything failed.
    bool Close();
    // Drops what was written: the operation did not finish. A device or descriptor keeps what
    // already went to it.
    void Discard();

    const HostError& Error() const { return m_error; }

    // Every write of every OutputFile is shown to the observer first (the command line's progress
    // line counts the bytes); false from it fails the write as stopped, and the file is then
    // discarded as any unfinished one. nullptr: none.
    using WriteObserver = bool (*)(std::size_t bytes);
    static void SetWriteObserver(WriteObserver observer);

    // Writes through a named temporary even where O_TMPFILE works: the way of a file system that
    // lacks it, so that tests reach it everywhere.
    static void UseNamedTemporary(bool named);

  private:
    enum class Mode { Closed, Unnamed, Named, Device, Descriptor };

    bool Fail(int err, const std::string& what = "");
    bool OpenDescriptor(int fd);
    bool OpenDevice();
    bool OpenTemporary();
    bool FlushBuffer();
    bool WriteOut(std::span<const std::uint8_t> bytes); // straight to the file, every byte
    bool LinkIntoPlace();
    void Release();

    Mode m_mode = Mode::Closed;
    int m_fd = -1;
    std::string m_path;         // the target as given
    std::string m_temporary;    // the named temporary, while it exists
    bool m_replaces = false;    // something is at the target and the new file replaces it
    bool m_imageWanted = false; // the target must be, and may be, the open image
    int m_keepMode = -1;        // the permissions of a regular file being replaced
    bool m_flushToDisk = true;  // fsync the file and its folder when it is put in place
    std::vector<std::uint8_t> m_buffer;
    HostError m_error;
};
