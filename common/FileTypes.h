// The file-type table: each type key ("IMD", "TXT", "VDOSTEXT", ...) gives a file dialog its
// filter, default extension and description, and names the "Paths" settings key under which the
// last folder used for that type is remembered. The four programs carry slightly different
// copies of the table.
#pragma once

#include <string>
#include <string_view>
#include <vector>

enum class ProgramCopy { Kestrel, Tamarin, Osprey, Quarry };

struct FileType {
    std::string key;              // upper-cased type key as looked up
    std::string filter;           // "description|patterns|description|patterns..."
    std::string defaultExtension; // empty: none
    std::string description;
    std::string pathsKey; // key in section "Paths"
    int filterIndex = 1;  // entry selected when the dialog opens
    int driveSlot = 0;    // 1..16 for the drive keys, else 0
};

FileType LookupFileType(ProgramCopy program, std::string_view key);

struct FilterEntry {
    std::string description;
    std::string patterns; // ";"-separated
};
// Splits a filter into its description and pattern pairs.
std::vector<FilterEntry> SplitFilter(std::string_view filter);

std::string UpperCase(std::string_view text);
