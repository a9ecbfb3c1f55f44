#include "ErasedFiles.h"

#include "CpmNames.h"
#include "DisplaySink.h"
#include "EventHook.h"
#include "FileCommands.h"
#include "FormatDetection.h"
#include "HostError.h"
#include "Prompts.h"
#include "QuarrySession.h"
#include "modFile.h"
#include "modUtility.h"

#include <algorithm>
#include <cctype>
#include <climits>

namespace {

constexpr const char* TitleNotFound = "Erased File Not Found";
constexpr const char* TitleRefused = "Cannot Undelete";
constexpr const char* TitleWrite = "Error Writing Directory to Image";

// An entry of an erased file: 0xE5 before a name. A wiped entry is one byte throughout, and an
// entry never used is 0xE5 throughout.
bool HoldsName(const DirEntry& e) {
    if (e.Status() != EmptyStatus || !PrintableName(e)) return false;
    return !std::all_of(e.bytes.begin() + 1, e.bytes.end(),
                        [&e](std::uint8_t b) { return b == e.bytes[1]; });
}

std::string NameOf(const DirEntry& e) {
    return e.NameChars() + "." + e.TypeChars();
}

std::string Upper(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

bool ValidBlock(int b, const DiskFormat& f) {
    return b >= 1 && b <= f.DSM;
}

// Whether an entry uses every record of its logical extents: a later one may follow.
bool Full(const DirEntry& e, const DiskFormat& f) {
    return (e.ExtentNumber() & f.EXM) == f.EXM && e.RC() == 128;
}

// The lowest and the highest valid block an entry names (INT_MAX and -1 when none).
std::pair<int, int> BlockRange(const DirEntry& e, const DiskFormat& f) {
    std::pair<int, int> range{INT_MAX, -1};
    for (int i = 0; i < f.PointersPerEntry; ++i) {
        const int b = BlockPointer(e, i, f.EightBitBlocks);
        if (!ValidBlock(b, f)) continue;
        range.first = std::min(range.first, b);
        range.second = std::max(range.second, b);
    }
    return range;
}

// The erased entries of one name and how they are chained into files.
class NameGroup {
  public:
    NameGroup(const std::vector<DirEntry>& directory, const DiskFormat& f, std::vector<int> entries)
        : m_dir(directory), m_f(f), m_entries(std::move(entries)), m_used(m_entries.size()) {}

    std::vector<std::vector<int>> Chains() {
        std::vector<std::vector<int>> chains;
        for (std::size_t m = 0; m < m_entries.size(); ++m)
            if (Physical(m) == 0) chains.push_back({Take(m)});
        Extend(chains);
        // What is left starts at a later extent: the lowest one first.
        for (;;) {
            std::size_t start = m_entries.size();
            for (std::size_t m = 0; m < m_entries.size(); ++m)
                if (!m_used[m] && (start == m_entries.size() || Physical(m) < Physical(start)))
                    start = m;
            if (start == m_entries.size()) break;
            std::vector<std::vector<int>> fragment{{Take(start)}};
            Extend(fragment);
            chains.push_back(fragment.front());
        }
        return chains;
    }

  private:
    const DirEntry& At(int entry) const { return m_dir[static_cast<std::size_t>(entry)]; }
    int Physical(std::size_t m) const { return At(m_entries[m]).ExtentNumber() / (m_f.EXM + 1); }
    int Take(std::size_t m) {
        m_used[m] = true;
        return m_entries[m];
    }

    // Adds the next extents to the chains whose last entry is full, each to the chain whose
    // blocks it continues (its lowest block the nearest above the chain's highest), else the
    // one it follows nearest in the directory.
    void Extend(std::vector<std::vector<int>>& chains) {
        for (bool grown = true; grown;) {
            grown = false;
            for (std::vector<int>& chain : chains) {
                const DirEntry& last = At(chain.back());
                if (!Full(last, m_f)) continue;
                const int wanted = last.ExtentNumber() / (m_f.EXM + 1) + 1;
                int highest = -1;
                for (int entry : chain)
                    highest = std::max(highest, BlockRange(At(entry), m_f).second);
                std::size_t best = m_entries.size();
                std::pair<int, long long> bestKey{INT_MAX, 0};
                for (std::size_t m = 0; m < m_entries.size(); ++m) {
                    if (m_used[m] || Physical(m) != wanted) continue;
                    const int lowest = BlockRange(At(m_entries[m]), m_f).first;
                    const std::pair<int, long long> key =
                        lowest != INT_MAX && lowest > highest
                            ? std::pair<int, long long>{0, lowest - highest}
                            : std::pair<int, long long>{
                                  1, (m_entries[m] - chain.back() + std::ssize(m_dir)) %
                                         std::ssize(m_dir)};
                    if (key < bestKey) {
                        bestKey = key;
                        best = m;
                    }
                }
                if (best == m_entries.size()) continue;
                chain.push_back(Take(best));
                grown = true;
            }
        }
    }

    const std::vector<DirEntry>& m_dir;
    const DiskFormat& m_f;
    std::vector<int> m_entries;
    std::vector<bool> m_used;
};

// Why the extents of a chain are not one whole file, or "".
std::string Problem(const ErasedFile& file, const DiskFormat& f) {
    std::vector<bool> named(static_cast<std::size_t>(f.Blocks()), false);
    int expected = 0;
    for (std::size_t k = 0; k < file.extents.size(); ++k) {
        const DirEntry& e = file.extents[k];
        const std::string entry = "entry " + std::to_string(file.entries[k]);
        if (e.EX() > 31 || e.S2() > 63 || e.RC() > 128) return entry + " holds counts out of range";
        const int physical = e.ExtentNumber() / (f.EXM + 1);
        if (physical != expected)
            return "the entry of extent " + std::to_string(expected * (f.EXM + 1)) + " is missing";
        expected = physical + 1;
        for (int i = 0; i < f.PointersPerEntry; ++i) {
            const int b = BlockPointer(e, i, f.EightBitBlocks);
            if (b == 0) continue;
            if (!ValidBlock(b, f) || f.IsDirectoryBlock(b))
                return entry + " names block " + std::to_string(b) + ", outside the data area";
            if (named[static_cast<std::size_t>(b)])
                return "block " + std::to_string(b) + " is named twice";
            named[static_cast<std::size_t>(b)] = true;
        }
    }
    return {};
}

std::string HeldText(const std::map<int, std::string>& held) {
    std::map<std::string, std::vector<int>> byFile;
    for (const auto& [block, owner] : held)
        byFile[owner].push_back(block);
    std::string text;
    for (const auto& [owner, blocks] : byFile) {
        text += (text.empty() ? "" : ", ") + owner + (blocks.size() > 1 ? " (blocks " : " (block ");
        for (std::size_t i = 0; i < blocks.size(); ++i)
            text += (i ? ", " : "") + std::to_string(blocks[i]);
        text += ")";
    }
    return text;
}

std::vector<ErasedFile> Matching(std::vector<ErasedFile> files, const std::string& name,
                                 int first) {
    std::vector<ErasedFile> found;
    for (int pass = 0; pass < 2 && found.empty(); ++pass)
        for (ErasedFile& file : files)
            if ((pass == 0 ? file.name == name : Upper(file.name) == Upper(name)) &&
                (first < 0 || file.First() == first))
                found.push_back(std::move(file));
    return found;
}

// The one erased file of name and first entry, or nothing after saying why.
std::optional<ErasedFile> TheErasedFile(QuarrySession& session,
                                        const std::vector<DirEntry>& directory,
                                        const std::string& name, int first) {
    std::vector<ErasedFile> found =
        Matching(GatherErasedFiles(directory, session.Format()), name, first);
    if (found.size() == 1) return std::move(found.front());
    std::string text = name + (found.empty() ? " is no erased file of the image"
                                             : " names several erased files: entries");
    for (std::size_t i = 0; i < found.size(); ++i)
        text += (i ? ", " : " ") + std::to_string(found[i].First());
    session.prompts().MessageBox(TitleNotFound, text);
    return std::nullopt;
}

// Undelete inside the change: the checks on the directory as it is now, then the status bytes.
bool Restore(QuarrySession& session, const std::string& name, int first, int user) {
    const DiskFormat& f = session.Format();
    CpmImage& image = session.image();
    const std::vector<DirEntry> directory = session.directory().ReadDirectory();
    const std::optional<ErasedFile> file = TheErasedFile(session, directory, name, first);
    if (!file) return false;
    const std::string restored = TwoDigits(user) + ":" + file->name;
    auto refuse = [&](const std::string& reason) {
        session.prompts().MessageBox(TitleRefused, restored + ": " + reason);
        return false;
    };
    if (!file->Whole()) return refuse("it cannot be gathered whole (" + file->problem + ")");
    if (const auto held = HeldBlocks(*file, directory, f); !held.empty())
        return refuse("its blocks are held by live files: " + HeldText(held));
    for (const DirEntry& e : directory)
        if (e.Status() == user && NameOf(e) == file->name)
            return refuse("a live file of that name is on the image");
    const std::uint8_t status = static_cast<std::uint8_t>(user);
    const std::uint8_t empty = EmptyStatus;
    std::vector<int> written;
    for (int n : file->entries) {
        if (!image.WriteAt(f.FilePosition(static_cast<std::int64_t>(n) * EntrySize),
                           std::span(&status, 1), TitleWrite)) {
            for (int done : written)
                image.Restore(f.FilePosition(static_cast<std::int64_t>(done) * EntrySize),
                              std::span(&empty, 1));
            return false;
        }
        written.push_back(n);
    }
    return true;
}

} // namespace

std::vector<ErasedFile> GatherErasedFiles(const std::vector<DirEntry>& directory,
                                          const DiskFormat& f) {
    std::vector<std::string> names;
    std::map<std::string, std::vector<int>> groups;
    for (int i = 0; i < std::ssize(directory); ++i) {
        const DirEntry& e = directory[static_cast<std::size_t>(i)];
        if (!HoldsName(e)) continue;
        std::vector<int>& group = groups[NameOf(e)];
        if (group.empty()) names.push_back(NameOf(e));
        group.push_back(i);
    }
    std::vector<ErasedFile> files;
    for (const std::string& name : names) {
        for (const std::vector<int>& chain : NameGroup(directory, f, groups[name]).Chains()) {
            ErasedFile file;
            file.name = name;
            file.entries = chain;
            for (int entry : chain)
                file.extents.push_back(directory[static_cast<std::size_t>(entry)]);
            file.problem = Problem(file, f);
            files.push_back(std::move(file));
        }
    }
    std::stable_sort(files.begin(), files.end(), [](const ErasedFile& a, const ErasedFile& b) {
        return a.First() < b.First();
    });
    return files;
}

std::map<int, std::string> HeldBlocks(const ErasedFile& file,
                                      const std::vector<DirEntry>& directory, const DiskFormat& f) {
    std::map<int, std::string> owners;
    for (const DirEntry& e : directory) {
        if (!e.IsFile()) continue;
        for (int i = 0; i < f.PointersPerEntry; ++i) {
            const int b = BlockPointer(e, i, f.EightBitBlocks);
            if (ValidBlock(b, f)) owners.emplace(b, e.TextName());
        }
    }
    std::map<int, std::string> held;
    for (const DirEntry& e : file.extents)
        for (int i = 0; i < f.PointersPerEntry; ++i)
            if (const auto owner = owners.find(BlockPointer(e, i, f.EightBitBlocks));
                owner != owners.end())
                held.insert(*owner);
    return held;
}

std::string ErasedFilesText(const std::vector<ErasedFile>& files,
                            const std::vector<DirEntry>& directory, const DiskFormat& f) {
    std::string text;
    for (const ErasedFile& file : files) {
        const FileLayout layout = file.Layout(f);
        text += file.name + "  Entry" + PadDec(file.First(), 5) + "  Bytes" +
                PadDec(layout.Size(f.BlockSize), 9) + "  Blocks" +
                PadDec(static_cast<std::int64_t>(layout.blocks.size()), 6) + "  ";
        if (!file.Whole())
            text += "not whole: " + file.problem;
        else if (const auto held = HeldBlocks(file, directory, f); !held.empty())
            text += "blocks held by " + HeldText(held);
        else
            text += "can be undeleted";
        text += CRLF;
    }
    return text + CRLF + "Erased Files - " + std::to_string(files.size()) + CRLF;
}

void ShowErasedFiles(QuarrySession& session, DisplaySink& out) {
    if (!session.image().ImageOpen()) return;
    QuarrySession::Frame frame(session);
    if (!frame) return;
    const std::vector<DirEntry> directory = session.directory().ReadDirectory();
    out.Clear();
    out.Append(ErasedFilesText(GatherErasedFiles(directory, session.Format()), directory,
                               session.Format()));
    session.hook().ProcessEvents();
}

std::vector<ErasedFile> FindErasedFiles(QuarrySession& session, const std::string& name,
                                        int first) {
    if (!session.image().ImageOpen()) return {};
    return Matching(GatherErasedFiles(session.directory().ReadDirectory(), session.Format()), name,
                    first);
}

bool UndeleteFile(QuarrySession& session, DisplaySink& out, const std::string& name, int first,
                  int user) {
    if (!session.image().Writable() || user < 0 || user > 15) return false;
    QuarrySession::Frame frame(session);
    if (!frame) return false;
    bool ok = false;
    {
        QuarrySession::Change change(session, out);
        if (change) ok = Restore(session, name, first, user);
        session.directory().BuildAllocationMap();
        session.directory().ShowAll(out);
    }
    session.hook().ProcessEvents();
    return ok;
}

bool UploadErasedFile(QuarrySession& session, DisplaySink& out, modFile& files,
                      const std::string& name, int first) {
    if (!session.image().ImageOpen()) return false;
    QuarrySession::Frame frame(session);
    if (!frame) return false;
    const DiskFormat& f = session.Format();
    const std::vector<DirEntry> directory = session.directory().ReadDirectory();
    const std::optional<ErasedFile> file = TheErasedFile(session, directory, name, first);
    if (!file) return false;
    const FileLayout layout = file->Layout(f);
    std::string text = "Erased File - " + file->name + "  Entry " + std::to_string(file->First()) +
                       "  Bytes " + std::to_string(layout.Size(f.BlockSize)) + "  Blocks " +
                       std::to_string(layout.blocks.size()) + CRLF;
    if (!file->Whole())
        text += " Not whole (" + file->problem + "): only the extents found are saved" + CRLF;
    if (const auto held = HeldBlocks(*file, directory, f); !held.empty())
        text += " Blocks now held by live files: " + HeldText(held) +
                "; the bytes saved from them are not the erased file's" + CRLF;
    const std::string path =
        files.GetFileName(HostNameFor("00:" + file->name).host, "SAVE", "uload");
    if (path.empty()) return false;
    const SaveProblem problem = SaveFile(session, layout, path);
    if (!problem.title.empty())
        session.prompts().MessageBox(problem.title, ErrorReport(problem.error, ErrorSource));
    if (!problem.failed) text += "Saved - " + path + CRLF;
    out.Clear();
    out.Append(text);
    session.hook().ProcessEvents();
    return !problem.failed;
}
