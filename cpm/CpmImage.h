// The open CP/M image: its file, its current format, and every read and write of it. Records and
// blocks of the data area go through the format's skew; raw positions serve the system area and
// the whole-image fill. Nothing is ever written past the end of the image: the file keeps its
// size, so its format is still recognised the next time it is opened.
//
// A change of the image is one writer's at a time: the writer holds an exclusive lock on the file
// (flock, which belongs to the open file, so two programs or two opens in one program exclude
// each other) from reading the directory to its last write. Every write is checked; the first
// failure of a change is reported and every later write of that change is refused unreported, so
// one failed command shows one message.
#pragma once

#include "DiskContainer.h"
#include "DiskFormat.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

class Prompts;

using Bytes = std::vector<std::uint8_t>;

// The size of a host file, or -1 after reporting why it cannot be read ("Error Getting File
// Size"). Sizes are 64-bit: a large file is not an error.
std::int64_t GetFileSize(const std::string& name, Prompts& prompts);

// What identifies the state of a file on the host: which file it is, its size and when it last
// changed.
struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = -1;
    std::int64_t modified = 0; // nanoseconds
    bool operator==(const FileStamp&) const = default;
};
// The stamp of the file a path names (size -1 when there is none).
FileStamp StampOf(const std::string& path);

// How long a writer waits for another program's change of the image to end.
inline constexpr std::chrono::milliseconds DefaultLockWait{5000};
inline constexpr const char* InUseText = "image is in use by another program";

class CpmImage {
  public:
    explicit CpmImage(Prompts& prompts) : m_prompts(prompts) {}
    ~CpmImage();
    CpmImage(const CpmImage&) = delete;
    CpmImage& operator=(const CpmImage&) = delete;

    DiskFormat& Format() { return m_format; }
    const DiskFormat& Format() const { return m_format; }
    void SetDiskFormat(std::string_view name) { m_format.SetDiskFormat(name); }

    // The image to open next and whether the user asked to open it read-only.
    void SetName(const std::string& name) { m_name = name; }
    void SetReadOnlyRequested(bool readOnly) { m_readOnlyRequested = readOnly; }
    // The container type the user named for it ("raw" for a flat image); "" detects it.
    void SetContainerType(const std::string& type) { m_containerType = type; }
    const std::string& Name() const { return m_name; }

    enum class Detection { NoImage, Known, Unknown, Ambiguous };
    // Opens the named image and makes the format of its size current; where formats share the
    // size, the one its directory fits (see FormatDetection.h). Ambiguous: the directory does
    // not tell them apart; the best is current and Candidates() lists them all. An unknown size
    // keeps the format and, when warnUnknown, says "Disk Type Not Known".
    Detection DetectDiskFormat(bool warnUnknown = true);
    // The formats (catalog indexes) of the last Ambiguous detection, best first.
    const std::vector<int>& Candidates() const { return m_candidates; }
    // Opens the named image for reading and writing, or for reading when that is all the host
    // allows (and says so); false after reporting the failure.
    bool OpenImage();
    // "Close Image": the image is released and nothing is shown.
    void CloseImage();

    bool ImageOpen() const { return m_fd >= 0; }
    bool ReadOnly() const { return m_readOnly; }
    // Why an image in a container opened read-only although writing was asked for ("" when it
    // did not): the container's reason that it cannot be written back.
    const std::string& ContainerReadOnlyReason() const { return m_containerReason; }
    // "IMAGE is in a container (ImageDisk) that cannot be written back: REASON", or "".
    std::string ContainerReadOnlyText() const;
    // The container the image is read from, or nullptr for a flat image.
    const DiskContainer* Container() const { return m_container.get(); }
    // Whether a read met a sector the container holds no good data for.
    bool MetUnreadSectors() const { return m_damageSaid; }
    bool Writable() const { return ImageOpen() && !m_readOnly; }
    // The size read when the image was opened; -1 when it could not be read.
    std::int64_t FileSize() const { return m_size; }
    // Reads the size of the open image again (after an insertion).
    std::int64_t RefreshFileSize();
    // The stamp of the open file (not of whatever its name names now).
    FileStamp Stamp() const;
    // Whether path names the open image file itself (also through a link).
    bool IsImageFile(const std::string& path) const;
    // When the name now names another file than the one open (the image was replaced), opens
    // that one. False when it cannot be opened as before.
    bool ReopenIfReplaced();

    // The exclusive lock of one change, waiting up to wait for another holder to let go; false
    // after saying "image is in use by another program". A new change starts with no failed
    // write.
    bool Lock(std::chrono::milliseconds wait);
    void Unlock();
    // After the image file was replaced as a whole under this change's lock (a fill writes a
    // new image and renames it into place), takes the new file: opened and locked before the
    // old one is let go, so that a writer waiting on the old file finds it replaced and follows.
    bool TakeReplacement();
    // Forces what was written so far to the disk (between a change's data and its directory).
    bool Sync();
    // The end of a change of an image in a container: what was written went into the disk in
    // memory, and the container file is now made anew from it and renamed over the image (under
    // the change's lock, which moves to the new file). False after saying why when that failed:
    // the file is then as it was, and the disk is read again from it. A flat image, or a change
    // that wrote nothing, has nothing to do.
    bool WriteBackContainer();
    // Whether a change of this image did not reach its file.
    bool ChangeLost() const { return m_changeLost; }

    // 128 bytes of logical record n of the data area.
    bool ReadRecord(std::int64_t record, std::span<std::uint8_t> buffer);
    bool WriteRecord(std::int64_t record, std::span<const std::uint8_t> buffer);
    // BlockSize bytes of block b; each record through the skew.
    bool ReadBlock(int block, std::span<std::uint8_t> buffer);
    bool WriteBlock(int block, std::span<const std::uint8_t> buffer);
    // The 32 bytes of directory entry n.
    bool ReadEntryBytes(int entry, std::span<std::uint8_t> buffer, const char* title);
    bool WriteEntryBytes(int entry, std::span<const std::uint8_t> buffer, const char* title);

    // The file ranges of the records of block b, in record order, adjacent ones joined.
    std::vector<FileRange> BlockRanges(int block) const;
    // Whether the whole of block b lies inside the image file.
    bool BlockInImage(int block) const;

    // Raw access at a file position. A read past the end gives 0xE5 bytes there (what an
    // unwritten disk holds); a write that would reach past the end is refused and reported.
    bool ReadAt(std::int64_t position, std::span<std::uint8_t> buffer, const char* title);
    bool WriteAt(std::int64_t position, std::span<const std::uint8_t> buffer, const char* title);
    // Puts back bytes that a failed change wrote, even after the failure; reports nothing.
    bool Restore(std::int64_t position, std::span<const std::uint8_t> buffer);
    // Writes value over every range in large pieces, adjacent ranges joined. Refuses the whole
    // job, writing nothing, when any range reaches past the end of the image.
    bool FillRanges(std::vector<FileRange> ranges, std::uint8_t value, const char* title);

    Prompts& prompts() { return m_prompts; }

  private:
    // After the file is open: a container by its content is opened read-only and its flat view
    // read from now on; false (with a message) when it cannot be read.
    bool OpenContainerIfAny();
    bool CheckInside(std::int64_t position, std::int64_t length, const char* title);
    void ReportErrno(int err, const char* title);
    bool Fail(int err, const char* title);
    // Writes into the container's disk in memory, or into the flat image file.
    int PutAt(std::int64_t position, std::span<const std::uint8_t> buffer);
    // Reads the container of the open file again; closes the image when that fails.
    bool ReopenContainer();

    Prompts& m_prompts;
    DiskFormat m_format;
    std::string m_name;
    bool m_readOnlyRequested = false;
    std::string m_containerType;
    bool m_readOnly = false;
    int m_fd = -1;
    // An image in a container (ImageDisk, Teledisk, CPCEMU .dsk ...): read and changed through
    // the disk's flat view; the container file is made anew at the end of each change.
    std::unique_ptr<DiskContainer> m_container;
    FileStamp m_containerStamp;    // the file the container was read from
    std::string m_containerReason; // why it opened read-only
    bool m_containerChanged = false;
    bool m_changeLost = false;
    std::vector<DamagedRange> m_damage; // the container's unreadable sectors in the flat view
    bool m_damageSaid = false;
    std::int64_t m_size = 0;
    std::vector<int> m_candidates;
    bool m_locked = false;
    bool m_writeFailed = false;
};

// The one source named by every error report of Quarry.
inline constexpr const char* ErrorSource = "Quarry";
