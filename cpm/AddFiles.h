// Adding host files to the image, as files dropped on the window are added: size limits, a
// valid and unique CP/M name (asking the user when needed), blocks from the lowest free one
// upwards with the last record padded by 0x1A, and as many directory entries as the file needs.
// The last entry keeps the bytes used in the last record (S1, as CP/M 3 and cpmtools keep it),
// so the file comes back at its exact size.
//
// A name that cannot be taken is not asked for here: the caller's NameQuestion answers it.
//
// One drop is one change of the image: every file is planned first (name, blocks, entries),
// then all data is written, forced to the disk, and only then the directory entries. A file
// that cannot be read whole as it was measured is left out; any failed write of the image adds
// nothing at all, and entries already written are put back. A block without an entry is free,
// so a failed drop leaves a consistent image.
#pragma once

#include "NameQuestion.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class DisplaySink;
class QuarrySession;

// Sizes of a file of s bytes in the current format.
struct FileSpace {
    std::int64_t records = 0;
    std::int64_t blocks = 0;
    std::int64_t extents = 0;
    std::int64_t entries = 0;
};
FileSpace SpaceFor(std::int64_t size, int blockSize, int extentsPerEntry);

inline constexpr std::int64_t MaxCpmFileSize = 33554432; // 32 MB

// The drop handler. plainText: the dropped data is text, not a file list. cpmName, when given,
// names the single file instead of its host name (it may carry a user prefix). A name refused
// is put to question. Returns the number of files added.
int DropFiles(QuarrySession& session, DisplaySink& out, const std::vector<std::string>& paths,
              bool plainText = false, const std::optional<std::string>& cpmName = std::nullopt,
              const NameQuestion& question = {});

// A valid CP/M name for a host path, or "" when question gives none.
std::string GetValidCpmName(QuarrySession& session, const std::string& path,
                            const NameQuestion& question);
// The same for a name as typed: it is taken as it stands or put to question with the reason.
std::string ValidCpmNameFrom(QuarrySession& session, std::string name,
                             const NameQuestion& question);
// A CP/M name that is not on the image yet (nor in taken), or "" when question gives none.
std::string EnsureUniqueName(QuarrySession& session, const std::string& cpmName,
                             const NameQuestion& question,
                             const std::vector<std::string>& taken = {});
