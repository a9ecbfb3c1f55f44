#include "AddFiles.h"

#include "BusyPointer.h"
#include "CpmNames.h"
#include "HostError.h"
#include "Prompts.h"
#include "QuarrySession.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A host file planned into the image: its name, its blocks and its directory entries.
struct PlannedFile {
    std::string path;
    std::string name;
    std::int64_t size = 0;
    std::vector<int> blocks;
    std::vector<int> entries;
    bool left = false; // it could not be read as planned
};

std::int64_t Ceiling(std::int64_t a, std::int64_t b) {
    return (a + b - 1) / b;
}

bool IsDirectory(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string NoRoomText(const std::string& path, std::int64_t needed, std::int64_t available) {
    return "File - " + path + "\r\nRequires - " + std::to_string(needed) +
           " Directory Entries\r\nDirectory Entries Availible - " + std::to_string(available);
}

std::string NoSpaceText(const std::string& path, std::int64_t needed, std::int64_t available) {
    return "File - " + path + "\r\nRequires - " + std::to_string(needed) +
           " Blocks\r\nBlocks Availible - " + std::to_string(available);
}

// The caller's answer to a refused name; nothing when the file is to be left out.
std::optional<std::string> Ask(const NameQuestion& question, const RefusedName& refused) {
    if (!question) return std::nullopt;
    std::optional<std::string> answer = question(refused);
    if (!answer || answer->empty()) return std::nullopt;
    return answer;
}

// Asks for another name after shown was refused; the suggestion is offered when it is a name.
std::optional<std::string> AskAgain(const NameQuestion& question, const std::string& shown,
                                    const CpmNameResult& refused) {
    const bool suggest = CheckCpmName(refused.name, 0).valid;
    return Ask(question, {RefusedName::Why::NotCpmName, shown, refused.reason,
                          suggest ? refused.name : std::string()});
}

// The blocks for the file, lowest free first, or an empty list after saying why there are not
// enough inside the image (the blocks taken are given back).
std::vector<int> TakeBlocks(QuarrySession& session, const std::string& path, std::int64_t needed) {
    CpmDirectory& dir = session.directory();
    const int available = dir.CountFreeBlocks();
    std::vector<int> blocks;
    for (std::int64_t k = 0; k < needed; ++k) {
        const int b = dir.AllocateBlock();
        std::string problem;
        if (b == 0)
            problem = NoSpaceText(path, needed, available);
        else if (!session.image().BlockInImage(b))
            problem = "File - " + path + "\r\nBlock " + std::to_string(b) +
                      " lies past the end of the image";
        if (!problem.empty()) {
            session.prompts().MessageBox("No Space for File", problem);
            if (b != 0) blocks.push_back(b);
            for (int taken : blocks)
                dir.FreeBlock(taken);
            return {};
        }
        blocks.push_back(b);
    }
    return blocks;
}

// The lowest count free entries that no planned file holds yet.
std::vector<int> TakeEntries(CpmDirectory& dir, std::int64_t count,
                             const std::vector<PlannedFile>& planned) {
    std::vector<int> taken;
    for (const PlannedFile& p : planned)
        taken.insert(taken.end(), p.entries.begin(), p.entries.end());
    std::vector<int> entries;
    for (int n : dir.FindFreeEntries(static_cast<int>(count + std::ssize(taken))))
        if (std::find(taken.begin(), taken.end(), n) == taken.end() && std::ssize(entries) < count)
            entries.push_back(n);
    return entries;
}

// Reads up to want bytes; the count read, or -1 after an error.
std::int64_t ReadFull(int fd, std::uint8_t* to, std::int64_t want) {
    std::int64_t done = 0;
    while (done < want) {
        const ssize_t n = ::read(fd, to + done, static_cast<std::size_t>(want - done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return -1;
        if (n == 0) break;
        done += n;
    }
    return done;
}

enum class DataResult { Written, HostChanged, ImageFailed };

// Copies the host file into its blocks, each padded with 0x1A from the file's end on. The file
// is read whole first and must hold exactly the bytes measured when it was planned: a file that
// changed meanwhile writes nothing.
DataResult WriteData(QuarrySession& session, const PlannedFile& file) {
    CpmImage& image = session.image();
    Prompts& prompts = session.prompts();
    const int fd = ::open(file.path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        prompts.MessageBox("Error Openning Download File",
                           ErrorReport(HostErrorFromErrno(errno, file.path), ErrorSource));
        return DataResult::HostChanged;
    }
    const int blockSize = image.Format().BlockSize;
    std::vector<std::uint8_t> bytes(file.blocks.size() * static_cast<std::size_t>(blockSize), 0x1A);
    const std::int64_t read = ReadFull(fd, bytes.data(), file.size);
    // A file that grew since it was measured has more to give.
    std::uint8_t more = 0;
    const bool grew = read == file.size && ReadFull(fd, &more, 1) != 0;
    ::close(fd);
    if (read != file.size || grew) {
        prompts.MessageBox("Error Reading Download File",
                           "File - " + file.path + "\r\nIt changed while it was read (" +
                               std::to_string(file.size) + " bytes when measured, " +
                               (grew ? "more" : std::to_string(std::max<std::int64_t>(read, 0))) +
                               " read): it was not added");
        return DataResult::HostChanged;
    }
    for (std::size_t k = 0; k < file.blocks.size(); ++k)
        if (!image.WriteBlock(file.blocks[k],
                              std::span(bytes).subspan(k * static_cast<std::size_t>(blockSize),
                                                       static_cast<std::size_t>(blockSize))))
            return DataResult::ImageFailed;
    return DataResult::Written;
}

DirEntry EntryFor(const PlannedFile& file, std::int64_t e, const DiskFormat& f,
                  std::size_t& nextBlock) {
    const FileSpace space = SpaceFor(file.size, f.BlockSize, f.ExtentsPerEntry);
    DirEntry entry;
    entry.SetName(file.name, LeadingNumber(UserPart(file.name)));
    int rc = 128;
    std::int64_t x = (e + 1) * f.ExtentsPerEntry - 1;
    if (e == space.entries - 1) {
        rc = static_cast<int>(space.records % 128);
        if (rc == 0 && space.records != 0) rc = 128;
        x = space.extents == 0 ? 0 : space.extents - 1;
        // The bytes used in the last record; 0 when it is full.
        entry.bytes[13] = static_cast<std::uint8_t>(file.size % RecordSize);
    }
    entry.bytes[12] = static_cast<std::uint8_t>(x % 32);
    entry.bytes[14] = static_cast<std::uint8_t>(x / 32);
    entry.bytes[15] = static_cast<std::uint8_t>(rc);
    for (int p = 0; p < f.PointersPerEntry && nextBlock < file.blocks.size(); ++p)
        SetBlockPointer(entry, p, file.blocks[nextBlock++], f.EightBitBlocks);
    return entry;
}

// Writes the entries of the files; after a failure puts back every entry written.
bool WriteEntries(QuarrySession& session, const std::vector<PlannedFile>& files) {
    CpmImage& image = session.image();
    CpmDirectory& dir = session.directory();
    const DiskFormat& f = image.Format();
    std::vector<std::pair<int, DirEntry>> written; // entry number, bytes before
    bool ok = true;
    for (const PlannedFile& file : files) {
        if (file.left) continue;
        std::size_t nextBlock = 0;
        for (std::size_t e = 0; e < file.entries.size() && ok; ++e) {
            const int n = file.entries[e];
            ok = dir.ReadDirEntry(n);
            const DirEntry before = dir.CurrentEntry();
            dir.CurrentEntry() = EntryFor(file, static_cast<std::int64_t>(e), f, nextBlock);
            ok = ok && dir.WriteDirEntry(n);
            written.emplace_back(n, before);
        }
    }
    if (ok) return true;
    for (const auto& [n, before] : written)
        image.Restore(f.FilePosition(static_cast<std::int64_t>(n) * EntrySize), before.bytes);
    return false;
}

} // namespace

FileSpace SpaceFor(std::int64_t size, int blockSize, int extentsPerEntry) {
    FileSpace space;
    space.records = Ceiling(size, 128);
    space.blocks = Ceiling(size, blockSize);
    space.extents = Ceiling(size, 16384);
    space.entries =
        size == 0 ? 1 : Ceiling(size, static_cast<std::int64_t>(extentsPerEntry) * 16384);
    return space;
}

std::string ValidCpmNameFrom(QuarrySession& session, std::string name,
                             const NameQuestion& question) {
    for (;;) {
        const CpmNameResult cpm = CheckCpmName(name, session.UserNumber());
        if (cpm.valid) return cpm.name;
        const std::optional<std::string> answer = AskAgain(question, name, cpm);
        if (!answer) return {};
        name = *answer;
    }
}

std::string GetValidCpmName(QuarrySession& session, const std::string& path,
                            const NameQuestion& question) {
    const CpmNameResult cpm = HostCpmName(path, session.UserNumber());
    if (cpm.valid) return cpm.name;
    const std::size_t slash = path.rfind('/');
    const std::optional<std::string> answer =
        AskAgain(question, slash == std::string::npos ? path : path.substr(slash + 1), cpm);
    return answer ? ValidCpmNameFrom(session, *answer, question) : std::string();
}

std::string EnsureUniqueName(QuarrySession& session, const std::string& cpmName,
                             const NameQuestion& question, const std::vector<std::string>& taken) {
    std::string cpm = cpmName;
    for (;;) {
        if (std::find(taken.begin(), taken.end(), cpm) == taken.end() &&
            !session.directory().FileExists(cpm))
            return cpm;
        const std::optional<std::string> answer =
            Ask(question, {RefusedName::Why::Exists, cpm, "", ""});
        if (!answer) return {};
        cpm = ValidCpmNameFrom(session, *answer, question);
        if (cpm.empty()) return {};
    }
}

int DropFiles(QuarrySession& session, DisplaySink& out, const std::vector<std::string>& paths,
              bool plainText, const std::optional<std::string>& cpmName,
              const NameQuestion& question) {
    Prompts& prompts = session.prompts();
    if (!session.image().Writable()) {
        prompts.MessageBox("No Image File Open", "Need Writable Image File Open to Drop Files");
        return 0;
    }
    BusyScope hourglass(session.pointer());
    if (plainText) return 0;
    QuarrySession::Change change(session, out);
    if (!change) return 0;
    CpmImage& image = session.image();
    CpmDirectory& dir = session.directory();
    const DiskFormat& f = session.Format();
    dir.ScanDirectory("??", "????????", "???", ListMode::BLOCKLIST);
    std::int64_t entriesLeft = dir.FreeEntryCount();
    if (entriesLeft <= 0) {
        prompts.MessageBox("No Room for Any More Files", "No Directory Entries");
        dir.ShowAll(out);
        return 0;
    }

    std::vector<PlannedFile> planned;
    std::vector<std::string> names;
    for (const std::string& path : paths) {
        if (IsDirectory(path)) {
            prompts.MessageBox("Can NOT process directories",
                               "Encountered directory - \r\n\r\n" + path +
                                   "\r\n\r\nPlease select files only");
            continue;
        }
        const std::int64_t size = GetFileSize(path, prompts);
        if (size == -1) {
            prompts.MessageBox("Error Retrieving File's Size", "Maybe > 2Gb or No Access");
            continue;
        }
        if (size < 0) continue;
        if (size >= MaxCpmFileSize) {
            prompts.MessageBox("File TOO Big", "CPM does not support Files Greater than 32MB");
            continue;
        }
        const FileSpace space = SpaceFor(size, f.BlockSize, f.ExtentsPerEntry);
        if (space.entries > entriesLeft) {
            prompts.MessageBox("No Room for File in Directory",
                               NoRoomText(path, space.entries, entriesLeft));
            continue;
        }
        if (space.blocks > dir.CountFreeBlocks()) {
            prompts.MessageBox("No Space for File",
                               NoSpaceText(path, space.blocks, dir.CountFreeBlocks()));
            continue;
        }
        std::string name = cpmName ? ValidCpmNameFrom(session, *cpmName, question)
                                   : GetValidCpmName(session, path, question);
        if (!name.empty()) name = EnsureUniqueName(session, name, question, names);
        if (name.empty()) continue;
        PlannedFile file{path, name, size, TakeBlocks(session, path, space.blocks), {}};
        if (std::ssize(file.blocks) != space.blocks) continue;
        file.entries = TakeEntries(dir, space.entries, planned);
        if (std::ssize(file.entries) != space.entries) {
            prompts.MessageBox("No Room for File in Directory",
                               NoRoomText(path, space.entries, std::ssize(file.entries)));
            for (int b : file.blocks)
                dir.FreeBlock(b);
            continue;
        }
        entriesLeft -= space.entries;
        names.push_back(name);
        planned.push_back(std::move(file));
    }

    // The data of every file, then (once it is on the disk) the entries that make it a file.
    int added = 0;
    bool ok = true;
    for (PlannedFile& file : planned) {
        const DataResult result = WriteData(session, file);
        if (result == DataResult::ImageFailed) ok = false;
        if (!ok) break;
        file.left = result == DataResult::HostChanged;
        added += !file.left;
    }
    ok = ok && (added == 0 || (image.Sync() && WriteEntries(session, planned)));
    dir.BuildAllocationMap();
    dir.ShowAll(out);
    return ok ? added : 0;
}
