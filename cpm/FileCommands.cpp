#include "FileCommands.h"

#include "AddFiles.h"
#include "BusyPointer.h"
#include "CpmNames.h"
#include "DisplaySink.h"
#include "EventHook.h"
#include "OutputFile.h"
#include "Prompts.h"
#include "QuarrySession.h"
#include "modFile.h"
#include "modUtility.h"

#include <algorithm>
#include <cerrno>
#include <functional>
#include <set>
#include <sys/stat.h>

namespace {

constexpr const char* TitlePutSector = "Error Putting Sector From Image";

// The BLOCKLIST scan of the selected file, matched literally.
void ScanSelected(QuarrySession& session) {
    const std::string& name = session.SelectedFile();
    session.directory().ScanDirectory(UserPart(name), NamePart(name), TypePart(name),
                                      ListMode::BLOCKLIST, true);
}

// Whether the scan found the selected file; says so when it is gone.
bool SelectedIsThere(QuarrySession& session) {
    if (!session.directory().Scan().matchedNumbers.empty()) return true;
    session.prompts().MessageBox("File Not Found",
                                 session.SelectedFile() + " is no longer on the image");
    return false;
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

// Walks the scanned file block by block, giving each block's bytes that belong to the file
// (whole records when records is set) and whether they were read; take returns false to stop.
// A stoppable walk lets the window's events run between blocks and ends on STOP.
void WalkFile(QuarrySession& session, const FileLayout& layout, bool stoppable, bool records,
              const std::function<bool(int, const std::uint8_t*, int, bool)>& take) {
    CpmImage& image = session.image();
    const int blockSize = image.Format().BlockSize;
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(blockSize));
    for (std::size_t k = 0; k < layout.blocks.size(); ++k) {
        if (stoppable) {
            session.hook().ProcessEvents();
            if (session.hook().Aborted()) break;
        }
        std::int64_t count = layout.BlockBytes(k, blockSize);
        if (records) count = (count + RecordSize - 1) / RecordSize * RecordSize;
        const bool read = image.ReadBlock(layout.blocks[k], buffer);
        if (!take(layout.blocks[k], buffer.data(), static_cast<int>(count), read)) break;
    }
}

// Rewrites the scanned file's entries with change; a failed write puts back those written.
bool RewriteEntries(QuarrySession& session, const std::function<void(DirEntry&)>& change) {
    CpmDirectory& dir = session.directory();
    const DiskFormat& f = session.Format();
    std::vector<std::pair<int, DirEntry>> written;
    for (int n : dir.Scan().matchedNumbers) {
        if (!dir.ReadDirEntry(n)) return false;
        const DirEntry before = dir.CurrentEntry();
        change(dir.CurrentEntry());
        if (!dir.WriteDirEntry(n)) {
            for (const auto& [done, bytes] : written)
                session.image().Restore(f.FilePosition(static_cast<std::int64_t>(done) * EntrySize),
                                        bytes.bytes);
            return false;
        }
        written.emplace_back(n, before);
    }
    return true;
}

// Erase or Wipe of the scanned file: the blocks first (then forced to the disk), the entries
// last, so that a failure never leaves an entry without its wiping done.
bool EraseScanned(QuarrySession& session, bool wipe) {
    CpmImage& image = session.image();
    const std::uint8_t fill = session.FillByte();
    if (wipe) {
        const std::set<int> kept = ProtectedBlocks(session);
        std::vector<FileRange> ranges;
        for (int b : session.directory().BlockList())
            if (!kept.count(b))
                for (const FileRange& r : image.BlockRanges(b))
                    ranges.push_back(r);
        if (!image.FillRanges(ranges, fill, TitlePutSector) || !image.Sync()) return false;
    }
    return RewriteEntries(session, [wipe, fill](DirEntry& e) {
        if (wipe) e.bytes.fill(fill);
        e.SetStatus(EmptyStatus);
    });
}

} // namespace

std::string DumpBlockText(int block, const std::uint8_t* bytes, int count) {
    // Each line ends with the characters of the line before: the text starts with a line of
    // its own, " " and CR LF, and the last line's characters come after the loop.
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(static_cast<std::size_t>(std::max(count, 0)) / 16 * 70 + 16);
    char chars[16];
    int pending = 0; // characters of the line being made
    for (int i = 0; i < count; i += 16) {
        text += ' ';
        text.append(chars, static_cast<std::size_t>(pending));
        text += CRLF;
        AppendHex(text, block, 4);
        text += ':';
        AppendHex(text, i, 4);
        text += ' ';
        const int n = std::min(16, count - i);
        char line[16 * 3];
        for (int k = 0; k < n; ++k) {
            const int b = bytes[i + k];
            line[3 * k] = digits[b >> 4];
            line[3 * k + 1] = digits[b & 15];
            line[3 * k + 2] = ' ';
            chars[k] = b >= 33 && b <= 125 ? static_cast<char>(b) : '.';
        }
        text.append(line, static_cast<std::size_t>(3 * n));
        pending = n;
    }
    text += ' ';
    text.append(chars, static_cast<std::size_t>(pending));
    text += CRLF;
    return text;
}

SaveProblem SaveFile(QuarrySession& session, const FileLayout& layout, const std::string& path) {
    constexpr const char* TitleOpen = "Error Openning Upload File";
    if (session.image().IsImageFile(path))
        return {TitleOpen, {RunTimeError::PathFileAccessError, path + " is the open image"}, true};
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
        return {TitleOpen, HostErrorFromErrno(EISDIR, path), true};
    OutputFile out;
    if (!out.Open(path)) return {TitleOpen, out.Error(), true};
    bool read = true;
    WalkFile(session, layout, false, false,
             [&](int, const std::uint8_t* bytes, int count, bool ok) {
                 read = ok;
                 return ok && out.Write(std::span(bytes, static_cast<std::size_t>(count)));
             });
    if (!read) {
        // The sector that could not be read was reported.
        out.Discard();
        return {"", {}, true};
    }
    if (!out.Close()) return {"Error Closing Upload File", out.Error(), true};
    return {};
}

namespace {

// Shows the selected file into out piece by piece, each piece the text of one block's bytes
// (whole records when records is set); STOP ends the walk.
void ShowSelectedFile(QuarrySession& session, DisplaySink& out, bool records,
                      const std::function<std::string(int, const std::uint8_t*, int)>& text) {
    if (!session.image().ImageOpen()) return;
    QuarrySession::Frame frame(session);
    if (!frame || session.SelectedFile().empty()) return;
    session.hook().SetAbort(false);
    ScanSelected(session);
    out.Clear();
    PieceSink pieces(out);
    WalkFile(session, session.directory().Layout(), true, records,
             [&](int block, const std::uint8_t* bytes, int count, bool) {
                 pieces.Append(text(block, bytes, count));
                 return true;
             });
    session.hook().ProcessEvents();
}

} // namespace

void TypeFile(QuarrySession& session, DisplaySink& out) {
    ShowSelectedFile(session, out, false, [](int, const std::uint8_t* bytes, int count) {
        std::string text;
        for (int i = 0; i < count && bytes[i] != 0x1A; ++i)
            text += static_cast<char>(bytes[i] & 0x7F);
        return text;
    });
}

void DumpFile(QuarrySession& session, DisplaySink& out) {
    ShowSelectedFile(session, out, true, DumpBlockText);
}

bool UploadFile(QuarrySession& session, modFile& files) {
    if (!session.image().ImageOpen()) return false;
    QuarrySession::Frame frame(session);
    if (!frame || session.SelectedFile().empty()) return false;
    ScanSelected(session);
    if (!SelectedIsThere(session)) return false;
    const HostNameResult names = HostNameFor(session.SelectedFile());
    if (names.host != names.shown)
        session.prompts().MessageBox("File Name Changed", "CPM Filename(invalid for Windows) - " +
                                                              names.shown + "\r\nChanged to - " +
                                                              names.host);
    const std::string path = files.GetFileName(names.host, "SAVE", "uload");
    if (path.empty()) return false;
    const SaveProblem problem = SaveFile(session, session.directory().Layout(), path);
    if (!problem.title.empty())
        session.prompts().MessageBox(problem.title, ErrorReport(problem.error, ErrorSource));
    session.hook().ProcessEvents();
    return !problem.failed;
}

bool EraseFile(QuarrySession& session, DisplaySink& out, bool wipe) {
    if (!session.image().Writable()) return false;
    QuarrySession::Frame frame(session);
    if (!frame || session.SelectedFile().empty()) return false;
    std::string question = "OK to Erase file - " + session.SelectedFile();
    if (wipe) question += " and Wipe with " + session.FillByteText();
    if (session.prompts().MessageBox("Delete File", question, Buttons::OkCancel) != Answer::Ok)
        return false;
    bool ok = false;
    {
        QuarrySession::Change change(session, out);
        if (change) {
            ScanSelected(session);
            ok = SelectedIsThere(session) && EraseScanned(session, wipe);
        }
        session.directory().BuildAllocationMap();
        session.directory().ShowAll(out);
    }
    session.hook().ProcessEvents();
    return ok;
}

bool RenameFile(QuarrySession& session, DisplaySink& out, const std::string& newName,
                const NameQuestion& question) {
    if (!session.image().Writable()) return false;
    QuarrySession::Frame frame(session);
    if (!frame) return false;
    CpmDirectory& dir = session.directory();
    bool renamed = false;
    if (!session.SelectedFile().empty() && !newName.empty()) {
        QuarrySession::Change change(session, out);
        std::string name;
        if (change) name = ValidCpmNameFrom(session, newName, question);
        if (!name.empty()) name = EnsureUniqueName(session, name, question);
        if (!name.empty()) {
            ScanSelected(session);
            const int user = LeadingNumber(UserPart(name));
            renamed = SelectedIsThere(session) && RewriteEntries(session, [&](DirEntry& e) {
                          // A password entry stays one: its status byte is the user + 16.
                          e.SetName(name, e.IsPassword() ? user + 16 : user);
                      });
        }
    }
    dir.ShowAll(out);
    session.hook().ProcessEvents();
    return renamed;
}

std::optional<std::string> AskNewName(QuarrySession& session) {
    if (session.SelectedFile().empty()) return std::nullopt;
    return session.prompts().InputBox("Input a Valid CPM Filename", "CPM Name",
                                      session.SelectedFile());
}

std::optional<int> AskDirectoryEntry(QuarrySession& session) {
    const std::int64_t n =
        InputNumber(session.prompts(),
                    " WARNING - Wiping a single Directory Entry can corrupt the disk \r\n"
                    "Enter Directory Entry Number ",
                    "Wipe Directory Entry", -1, 0, session.Format().DRM, 10);
    if (n < 0) return std::nullopt;
    return static_cast<int>(n);
}

bool WipeDirectoryEntry(QuarrySession& session, DisplaySink& out, std::int64_t n) {
    if (!session.image().Writable()) return false;
    QuarrySession::Frame frame(session);
    if (!frame) return false;
    CpmDirectory& dir = session.directory();
    if (n < 0 || n > session.Format().DRM) {
        session.prompts().MessageBox("Wipe Directory Entry",
                                     "Entry " + std::to_string(n) +
                                         " is not in the directory (0 to " +
                                         std::to_string(session.Format().DRM) + ")");
        return false;
    }
    QuarrySession::Change change(session, out);
    if (!change) return false;
    bool ok = dir.ReadDirEntry(static_cast<int>(n));
    DirEntry& e = dir.CurrentEntry();
    e.bytes.fill(session.FillByte());
    e.SetStatus(EmptyStatus);
    ok = ok && dir.WriteDirEntry(static_cast<int>(n));
    dir.BuildAllocationMap();
    dir.ShowAll(out);
    return ok;
}

bool WipeFreeSpace(QuarrySession& session, DisplaySink& out) {
    if (!session.image().Writable()) return false;
    QuarrySession::Frame frame(session);
    if (!frame) return false;
    QuarrySession::Change change(session, out);
    if (!change) return false;
    CpmDirectory& dir = session.directory();
    CpmImage& image = session.image();
    std::vector<FileRange> ranges;
    for (int b = 0; b <= session.Format().DSM; ++b)
        if (!dir.BlockInUse(b))
            for (const FileRange& r : image.BlockRanges(b))
                ranges.push_back(r);
    return image.FillRanges(ranges, session.FillByte(), TitlePutSector);
}
