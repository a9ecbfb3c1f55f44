#include "AddFiles.h"

#include "BusyPointer.h"
#include "CpmNames.h"
#include "HostError.h"
#include "Prompts.h"
#include "QuarrySession.h"

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <sys/stat.h>

namespace {

constexpr const char* SkipPrompt = "Input New Valid CPM Name or click Cancel to skip..";

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

// The blocks for the file, lowest free first, or an empty list after saying why there are not
// enough inside the image.
std::vector<int> TakeBlocks(QuarrySession& session, const std::string& path, std::int64_t needed) {
    CpmDirectory& dir = session.directory();
    const int available = dir.CountFreeBlocks();
    std::vector<int> blocks;
    for (std::int64_t k = 0; k < needed; ++k) {
        const int b = dir.AllocateBlock();
        if (b == 0) {
            session.prompts().MessageBox("No Space for File", NoSpaceText(path, needed, available));
            return {};
        }
        if (!session.image().BlockInImage(b)) {
            session.prompts().MessageBox("No Space for File",
                                         "File - " + path + "\r\nBlock " + std::to_string(b) +
                                             " lies past the end of the image");
            return {};
        }
        blocks.push_back(b);
    }
    return blocks;
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

std::string ValidCpmNameFrom(QuarrySession& session, std::string name) {
    for (;;) {
        const CpmNameResult cpm = MakeCpmName(name, session.UserNumber());
        if (cpm.valid) return cpm.name;
        const std::optional<std::string> answer = session.prompts().InputBox(
            "Bad Name - " + name + "\r\nSuggested Name is " + cpm.name + "\r\n\r\n" + SkipPrompt,
            "Invalid CPM Name", cpm.name);
        if (!answer || answer->empty()) return {};
        name = *answer;
    }
}

std::string GetValidCpmName(QuarrySession& session, const std::string& path) {
    return ValidCpmNameFrom(session, StripPath(path));
}

std::string EnsureUniqueName(QuarrySession& session, const std::string& cpmName) {
    std::string cpm = cpmName;
    for (;;) {
        if (!session.directory().FileExists(cpm)) return cpm;
        const std::optional<std::string> answer = session.prompts().InputBox(
            "File Exists - " + cpm + "\r\n" + SkipPrompt, "CPM File Exists", cpm);
        if (!answer || answer->empty()) return {};
        cpm = GetValidCpmName(session, *answer);
        if (cpm.empty()) return {};
    }
}

bool AddFile(QuarrySession& session, const std::string& path, const std::string& cpmName,
             std::int64_t size) {
    const std::string name = EnsureUniqueName(session, cpmName);
    if (name.empty()) return false;
    CpmImage& image = session.image();
    CpmDirectory& dir = session.directory();
    const DiskFormat& f = image.Format();
    dir.BuildAllocationMap();
    const FileSpace space = SpaceFor(size, f.BlockSize, f.ExtentsPerEntry);

    std::ifstream host(path, std::ios::binary);
    if (!host) {
        session.prompts().MessageBox("Error Openning Download File",
                                     ErrorReport(HostErrorFromErrno(errno, path), ErrorSource));
        dir.ShowAll();
        return false;
    }

    // Everything the file needs is found before anything is written.
    const std::vector<int> blocks = TakeBlocks(session, path, space.blocks);
    const std::vector<int> entries = dir.FindFreeEntries(static_cast<int>(space.entries));
    if (static_cast<std::int64_t>(blocks.size()) != space.blocks ||
        static_cast<std::int64_t>(entries.size()) != space.entries) {
        if (static_cast<std::int64_t>(blocks.size()) == space.blocks)
            session.prompts().MessageBox(
                "No Room for File in Directory",
                NoRoomText(path, space.entries, static_cast<std::int64_t>(entries.size())));
        dir.BuildAllocationMap();
        dir.ShowAll();
        return false;
    }

    // The data: each block filled from the file; from the file's end on, 0x1A.
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(f.BlockSize));
    std::int64_t left = size;
    for (int b : blocks) {
        std::fill(buffer.begin(), buffer.end(), std::uint8_t{0x1A});
        const std::int64_t want = std::min<std::int64_t>(left, f.BlockSize);
        host.read(reinterpret_cast<char*>(buffer.data()), static_cast<std::streamsize>(want));
        left -= want;
        image.WriteBlock(b, buffer);
    }

    std::size_t next = 0;
    for (std::int64_t e = 0; e < space.entries; ++e) {
        DirEntry& entry = dir.CurrentEntry();
        entry = DirEntry{};
        entry.SetName(name, LeadingNumber(UserPart(name)));
        int rc = 128;
        std::int64_t x = (e + 1) * f.ExtentsPerEntry - 1;
        if (e == space.entries - 1) {
            rc = static_cast<int>(space.records % 128);
            if (rc == 0 && space.records != 0) rc = 128;
            x = space.extents == 0 ? 0 : space.extents - 1;
        }
        entry.bytes[12] = static_cast<std::uint8_t>(x % 32);
        entry.bytes[14] = static_cast<std::uint8_t>(x / 32);
        entry.bytes[15] = static_cast<std::uint8_t>(rc);
        for (int p = 0; p < f.PointersPerEntry && next < blocks.size(); ++p)
            SetBlockPointer(entry, p, blocks[next++], f.EightBitBlocks);
        dir.WriteDirEntry(entries[static_cast<std::size_t>(e)]);
    }
    dir.ShowAll();
    return true;
}

int DropFiles(QuarrySession& session, const std::vector<std::string>& paths, bool plainText,
              const std::optional<std::string>& cpmName) {
    Prompts& prompts = session.prompts();
    if (!session.image().Writable()) {
        prompts.MessageBox("No Image File Open", "Need Writable Image File Open to Drop Files");
        return 0;
    }
    BusyScope hourglass(session.pointer());
    if (plainText) return 0;
    CpmDirectory& dir = session.directory();
    if (dir.FreeEntryCount() == 0) {
        prompts.MessageBox("No Room for Any More Files", "No Directory Entries");
        return 0;
    }
    int added = 0;
    for (const std::string& path : paths) {
        const DiskFormat& f = session.Format();
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
        if (space.entries > dir.FreeEntryCount()) {
            prompts.MessageBox("No Room for File in Directory",
                               NoRoomText(path, space.entries, dir.FreeEntryCount()));
            continue;
        }
        if (space.blocks > dir.CountFreeBlocks()) {
            prompts.MessageBox("No Space for File",
                               NoSpaceText(path, space.blocks, dir.CountFreeBlocks()));
            continue;
        }
        const std::string name =
            cpmName ? ValidCpmNameFrom(session, *cpmName) : GetValidCpmName(session, path);
        if (!name.empty() && AddFile(session, path, name, size)) ++added;
    }
    return added;
}
