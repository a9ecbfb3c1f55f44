// Saving VersaDOS files to the host: raw data blocks, records with a chosen delimiter, and every
// file of the volume into a folder tree volume/Uuuuu/catalog/name.ext.
#pragma once

#include "VersaDOSFile.h"

#include <functional>
#include <string>

class DisplaySink;
class EventHook;
class Prompts;

// The file's data as stored: contiguous sectors, or whole data blocks in segment order. The
// FAB chain of a non-contiguous file must have been read.
bool SaveDataBlocks(VersaDOSFile& file, const DirEntry& entry, const std::string& path,
                    Prompts& prompts);
// The file's records with the delimiter, length and expansion options.
bool SaveRecords(VersaDOSFile& file, const DirEntry& entry, const std::string& path,
                 const RecordOptions& options, Prompts& prompts);

struct SaveAllSummary {
    std::size_t total = 0;
    std::size_t saved = 0;
    std::size_t failed = 0;
    std::size_t damaged = 0; // saved, but with bytes a damaged sector held
};

// What a save says of a file that damaged sectors hit ("... saved with damaged bytes 0-255 of
// 512"); empty for a whole file.
using DamageLookup = std::function<std::string(const CatalogFile&)>;

// Saves every file of the whole-disk table (built from the catalogs) below target. failureDelay is
// the pause after a file whose FAB chain cannot be read, so that its lines can be seen. A file
// that damaged asks about is counted, and its line says so.
SaveAllSummary SaveAll(VersaDOSCatalog& catalog, VersaDOSFile& file, const VersaDOSVolume& volume,
                       const std::vector<ListItem>& catalogs, const std::string& target,
                       DisplaySink& sink, EventHook& hook, Prompts& prompts,
                       double failureDelay = 3.0, const DamageLookup& damaged = {});
