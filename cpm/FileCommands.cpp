#include "FileCommands.h"

#include "AddFiles.h"
#include "BusyPointer.h"
#include "CpmNames.h"
#include "DisplaySink.h"
#include "EventHook.h"
#include "HostError.h"
#include "Prompts.h"
#include "QuarrySession.h"
#include "modFile.h"
#include "modUtility.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <set>
#include <unistd.h>

namespace {

// The BLOCKLIST scan of the selected file, matched literally.
void ScanSelected(QuarrySession& session) {
    const std::string& name = session.SelectedFile();
    session.directory().ShowDirectory(UserPart(name), NamePart(name), TypePart(name),
                                      ListMode::BLOCKLIST, true);
}

// Blocks a wipe of the scanned file must not touch: the directory and every block that an entry
// of another file names (a damaged directory may name them in the file's entries as well).
std::set<int> ProtectedBlocks(QuarrySession& session) {
    const DiskFormat& f = session.Format();
    const DirectoryScan& scan = session.directory().Scan();
    std::set<int> kept;
    for (int b = 0; b < 16; ++b)
        if (f.IsDirectoryBlock(b)) kept.insert(b);
    const std::set<int> mine(scan.matchedFileNumbers.begin(), scan.matchedFileNumbers.end());
    for (int i = 0; i < static_cast<int>(scan.raw.size()); ++i) {
        const DirEntry& e = scan.raw[static_cast<std::size_t>(i)];
        if (!e.IsFile() || mine.count(i)) continue;
        for (int p = 0; p < f.PointersPerEntry; ++p)
            kept.insert(BlockPointer(e, p, f.EightBitBlocks));
    }
    return kept;
}

bool WriteHostFile(QuarrySession& session, const std::string& path,
                   const std::vector<std::uint8_t>& bytes) {
    // An existing longer file is cut to the new length.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        session.prompts().MessageBox("Error Openning Upload File",
                                     ErrorReport(HostErrorFromErrno(errno, path), ErrorSource));
        return false;
    }
    int err = 0;
    for (std::size_t done = 0; done < bytes.size() && err == 0;) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno != EINTR) err = errno;
        if (n > 0) done += static_cast<std::size_t>(n);
    }
    if (::close(fd) != 0 && err == 0) err = errno;
    if (err != 0) {
        session.prompts().MessageBox("Error Closing Upload File",
                                     ErrorReport(HostErrorFromErrno(err, path), ErrorSource));
        return false;
    }
    return true;
}

} // namespace

std::string DumpBlockText(int block, const std::uint8_t* bytes, int count) {
    // Written character by character into one string: a dump of a large file shows megabytes.
    static constexpr char digits[] = "0123456789ABCDEF";
    const std::string blockText = Hex4(block);
    std::string text;
    text.reserve(static_cast<std::size_t>(std::max(count, 0)) * 5 + 64);
    std::string chars;
    for (int i = 0; i < count; ++i) {
        if (i % 16 == 0) {
            text += ' ';
            text += chars;
            text += CRLF;
            text += blockText;
            text += ':';
            text += Hex4(i);
            text += ' ';
            chars.clear();
        }
        const int b = bytes[i];
        text += digits[b >> 4];
        text += digits[b & 15];
        text += ' ';
        chars += b >= 33 && b <= 125 ? static_cast<char>(b) : '.';
    }
    text += ' ';
    text += chars;
    text += CRLF;
    return text;
}

bool ProcessFile(QuarrySession& session, FileAction action, std::vector<std::uint8_t>* upload) {
    CpmImage& image = session.image();
    CpmDirectory& dir = session.directory();
    const DiskFormat& f = image.Format();
    if (action == FileAction::TYPE || action == FileAction::DUMP) session.out().Clear();

    if (action != FileAction::ERASE) {
        const std::vector<int> blocks = dir.BlockList();
        if (action == FileAction::WIPE) {
            const std::set<int> kept = ProtectedBlocks(session);
            std::vector<FileRange> ranges;
            for (int b : blocks)
                if (!kept.count(b))
                    for (const FileRange& r : image.BlockRanges(b))
                        ranges.push_back(r);
            if (!image.FillRanges(ranges, session.FillByte(), "Error Putting Sector From Image"))
                return false;
        } else {
            std::vector<std::uint8_t> buffer(static_cast<std::size_t>(f.BlockSize));
            for (std::size_t k = 0; k < blocks.size(); ++k) {
                if (action != FileAction::ULOAD) {
                    session.hook().ProcessEvents();
                    if (session.hook().Aborted()) break;
                }
                const int records =
                    k + 1 == blocks.size() ? dir.LastBlockRecords() : f.RecordsPerBlock();
                const int count = records * RecordSize;
                image.ReadBlock(blocks[k], buffer);
                if (action == FileAction::TYPE) {
                    std::string text;
                    for (int i = 0; i < count && buffer[static_cast<std::size_t>(i)] != 0x1A; ++i)
                        text += static_cast<char>(buffer[static_cast<std::size_t>(i)] & 0x7F);
                    session.out().Append(text);
                } else if (action == FileAction::DUMP) {
                    session.out().Append(DumpBlockText(blocks[k], buffer.data(), count));
                } else if (upload) {
                    upload->insert(upload->end(), buffer.begin(), buffer.begin() + count);
                }
            }
        }
    }

    if (action == FileAction::ERASE || action == FileAction::WIPE) {
        for (int n : dir.Scan().matchedNumbers) {
            dir.ReadDirEntry(n);
            DirEntry& e = dir.CurrentEntry();
            if (action == FileAction::WIPE) e.bytes.fill(session.FillByte());
            e.SetStatus(EmptyStatus);
            dir.WriteDirEntry(n);
        }
    }
    return true;
}

void TypeFile(QuarrySession& session) {
    if (!session.image().ImageOpen()) return;
    QuarrySession::Frame frame(session);
    if (!frame || session.SelectedFile().empty()) return;
    session.hook().SetAbort(false);
    ScanSelected(session);
    ProcessFile(session, FileAction::TYPE);
    session.hook().ProcessEvents();
}

void DumpFile(QuarrySession& session) {
    if (!session.image().ImageOpen()) return;
    QuarrySession::Frame frame(session);
    if (!frame || session.SelectedFile().empty()) return;
    session.hook().SetAbort(false);
    ScanSelected(session);
    ProcessFile(session, FileAction::DUMP);
    session.hook().ProcessEvents();
}

bool UploadFile(QuarrySession& session, modFile& files) {
    if (!session.image().ImageOpen()) return false;
    QuarrySession::Frame frame(session);
    if (!frame || session.SelectedFile().empty()) return false;
    ScanSelected(session);
    const HostNameResult names = HostNameFor(session.SelectedFile());
    if (names.host != names.shown)
        session.prompts().MessageBox("File Name Changed", "CPM Filename(invalid for Windows) - " +
                                                              names.shown + "\r\nChanged to - " +
                                                              names.host);
    const std::string path = files.GetFileName(names.host, "SAVE", "uload");
    if (path.empty()) return false;
    std::vector<std::uint8_t> bytes;
    ProcessFile(session, FileAction::ULOAD, &bytes);
    const bool ok = WriteHostFile(session, path, bytes);
    session.hook().ProcessEvents();
    return ok;
}

bool EraseFile(QuarrySession& session, bool wipe) {
    if (!session.image().Writable()) return false;
    QuarrySession::Frame frame(session);
    if (!frame || session.SelectedFile().empty()) return false;
    ScanSelected(session);
    std::string question = "OK to Erase file - " + session.SelectedFile();
    if (wipe) question += " and Wipe with " + session.FillByteText();
    if (session.prompts().MessageBox("Delete File", question, Buttons::OkCancel) != Answer::Ok)
        return false;
    const bool ok = ProcessFile(session, wipe ? FileAction::WIPE : FileAction::ERASE);
    session.directory().BuildAllocationMap();
    session.directory().ShowAll();
    session.hook().ProcessEvents();
    return ok;
}

bool RenameFile(QuarrySession& session) {
    if (!session.image().Writable()) return false;
    QuarrySession::Frame frame(session);
    if (!frame) return false;
    CpmDirectory& dir = session.directory();
    const std::string old = session.SelectedFile();
    bool renamed = false;
    std::string name;
    if (!old.empty()) {
        const std::optional<std::string> answer =
            session.prompts().InputBox("Input a Valid CPM Filename", "CPM Name", old);
        if (answer && !answer->empty()) name = ValidCpmNameFrom(session, *answer);
    }
    if (!name.empty()) name = EnsureUniqueName(session, name);
    if (!name.empty()) {
        ScanSelected(session);
        const int user = LeadingNumber(UserPart(name));
        for (int n : dir.Scan().matchedNumbers) {
            dir.ReadDirEntry(n);
            DirEntry& e = dir.CurrentEntry();
            // A password entry stays one: its status byte is the user + 16.
            e.SetName(name, e.IsPassword() ? user + 16 : user);
            dir.WriteDirEntry(n);
        }
        renamed = !dir.Scan().matchedNumbers.empty();
    }
    dir.ShowAll();
    session.hook().ProcessEvents();
    return renamed;
}

bool WipeDirectoryEntry(QuarrySession& session) {
    if (!session.image().Writable()) return false;
    QuarrySession::Frame frame(session);
    if (!frame) return false;
    CpmDirectory& dir = session.directory();
    const std::int64_t n =
        InputNumber(session.prompts(),
                    " WARNING - Wiping a single Directory Entry can corrupt the disk \r\n"
                    "Enter Directory Entry Number ",
                    "Wipe Directory Entry", -1, 0, session.Format().DRM, 10);
    if (n == -1) return false;
    dir.ReadDirEntry(static_cast<int>(n));
    DirEntry& e = dir.CurrentEntry();
    e.bytes.fill(session.FillByte());
    e.SetStatus(EmptyStatus);
    const bool ok = dir.WriteDirEntry(static_cast<int>(n));
    dir.BuildAllocationMap();
    dir.ShowAll();
    return ok;
}

bool WipeFreeSpace(QuarrySession& session) {
    if (!session.image().Writable()) return false;
    QuarrySession::Frame frame(session);
    if (!frame) return false;
    CpmDirectory& dir = session.directory();
    CpmImage& image = session.image();
    dir.BuildAllocationMap();
    std::vector<FileRange> ranges;
    for (int b = 0; b <= session.Format().DSM; ++b)
        if (!dir.BlockInUse(b))
            for (const FileRange& r : image.BlockRanges(b))
                ranges.push_back(r);
    return image.FillRanges(ranges, session.FillByte(), "Error Putting Sector From Image");
}
