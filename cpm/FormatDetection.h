// Which format an image is. Most sizes belong to one format; where several share a size, each
// reads the directory from other sectors, and only the right one (as a rule) finds a CP/M
// directory there: status bytes of files (0..15), password entries (16..31), a label or time
// stamps, or 0xE5; names of printable characters; extent and record counts in range; block
// numbers inside the data area and none claimed twice. Formats that place every byte alike count
// as one (the first listed is taken).
#pragma once

#include "DirEntry.h"
#include "DiskFormat.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class CpmImage;
class Prompts;

// Whether the 8 name and 3 type characters of an entry (bit 7 aside) are printable and the name
// does not start with a blank.
bool PrintableName(const DirEntry& entry);

// How a directory reads under a format: the entries no CP/M directory holds, the file entries
// that look right and the blocks they name.
struct DirectoryScore {
    int violations = 0;
    int files = 0;
    int blocks = 0;
};
DirectoryScore ScoreDirectory(const std::vector<DirEntry>& entries, const DiskFormat& format);

// The directory of the open image as format reads it.
std::vector<DirEntry> ReadDirectoryAs(CpmImage& image, const DiskFormat& format);

struct FormatChoice {
    // The formats of the catalog the image may be (indexes), best first: fewest violations,
    // then most files, then catalog order.
    std::vector<int> candidates;
    // Whether the first is the format: the only one, the one whose directory reads best, or the
    // first of formats that read alike without a file that names a block (a blank or uniformly
    // filled disk, or only empty files: nothing to tell them apart by, and nothing to misread).
    // forWriting: files will be placed by the format, so such a tie decides only for one of
    // Quarry's own formats.
    bool decided = false;
};
FormatChoice ChooseFormat(CpmImage& image, std::int64_t size, bool forWriting);

// The question of which format an image is, when its size and directory leave several: given
// their names, best first, the one chosen, or nothing to give up opening the image.
using FormatQuestion =
    std::function<std::optional<std::string>(const std::vector<std::string>& names)>;
// After an ambiguous detection of the open image: question's answer becomes its format; without
// a question the best stays and a message says so. False when the question was given up.
bool SettleFormat(CpmImage& image, Prompts& prompts, const FormatQuestion& question);
