// Disk definitions in the syntax of cpmtools' diskdefs files: blocks of lines from
// "diskdef NAME" to "end", each line a keyword and its value, "#" or ";" starting a comment:
//
//   diskdef ibm-3740
//     seclen 128        bytes per sector
//     tracks 77         tracks of the whole disk, boot tracks included
//     sectrk 26         sectors per track
//     blocksize 1024    bytes per allocation block
//     maxdir 64         directory entries
//     skew 6            interleave of the sectors of a track (or skewtab 0,6,12,... 0-based)
//     boottrk 2         tracks before the data area (bootsec: the same counted in sectors)
//     os 2.2            2.2, 3, p2dos or zsys
//   end
//
// plus dirblks (directory blocks when more are reserved than maxdir needs), offset (bytes before
// the disk's first track: a number with an optional K, M, T(racks) or S(ectors) unit),
// logicalextents (16K extents per directory entry) and the keywords of physical media that a
// flat image does not need (libdsk:format, sides, datarate, fm), which are read and ignored. The
// file is untrusted: a definition with a bad line is left out and the reason kept with the file
// and line; nothing in the text can make the parser fail otherwise.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The file systems a definition can name. P2DOS and ZSDOS keep CP/M 3's time stamp entries.
enum class CpmOs { V22, V3, P2dos, Zsys };
std::string OsName(CpmOs os);

// One definition as written; -1 for a value the definition does not give.
struct DiskDefinition {
    std::string name;
    std::string file;
    int firstLine = 0; // the "diskdef" line
    int lastLine = 0;  // the "end" line
    int seclen = -1;
    int tracks = -1;
    int sectrk = -1;
    int blocksize = -1;
    int maxdir = -1;
    int dirblks = 0;
    int skew = 1; // cpmtools' default: no interleave
    std::vector<int> skewtab;
    int boottrk = -1;
    int bootsec = -1;
    std::int64_t offset = 0; // bytes
    int logicalExtents = 0;  // 0: as many as the pointers of an entry hold
    CpmOs os = CpmOs::V22;
    std::string libdskFormat; // "libdsk:format": the libdsk disk format that records the disk
};

// Why a definition (or a whole file) was left out.
struct DefinitionProblem {
    std::string file;
    int line = 0;
    std::string name; // "" when the problem is not one definition's
    std::string reason;
    // "FILE line N: diskdef NAME: REASON"
    std::string Text() const;
};

struct ParsedDefinitions {
    std::vector<DiskDefinition> definitions;
    std::vector<DefinitionProblem> problems;
};

// Bounds of what is read at all.
inline constexpr std::size_t MaxDiskdefsBytes = 1 << 20;
inline constexpr std::size_t MaxDiskdefsLine = 1024;
inline constexpr std::size_t MaxDefinitions = 4096;
inline constexpr std::size_t MaxDefinitionName = 64;
inline constexpr int MaxSkewTable = 65536;

// The definitions of text, the contents of the file named file.
ParsedDefinitions ParseDiskdefs(std::string_view text, const std::string& file);
// The definitions of a file; a file that cannot be read or is too large is one problem.
ParsedDefinitions ReadDiskdefsFile(const std::string& path);
