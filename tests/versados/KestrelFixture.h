// A VersaDOS volume in memory with the objects Kestrel reads it through.
#pragma once

#include "DisplaySink.h"
#include "EventHook.h"
#include "ScriptedPrompts.h"
#include "SectorSource.h"
#include "VersaDOSBuilder.h"
#include "VersaDOSCatalog.h"
#include "VersaDOSFile.h"
#include "VersaDOSVolume.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

struct KestrelFixture {
    explicit KestrelFixture(ByteString image)
        : disk(std::move(image), 256), volume(disk), catalog(disk, prompts, hook),
          file(disk, prompts, hook) {}

    // Opens the volume as the window does: volume test, catalog load, first catalog.
    bool Open() {
        const bool isVersaDOS = volume.IsVersaDOSVolume();
        if (!isVersaDOS) return false;
        file.SetVolumeSectors(volume.Config().totalSectors);
        catalog.LoadCatalog(volume, listSDB);
        return true;
    }
    // The listed entry of file name (trimmed) in the catalog at listSDB index.
    DirEntry Find(std::size_t catalogIndex, const std::string& name) {
        catalog.SelectCatalog(static_cast<std::int32_t>(listSDB.at(catalogIndex).data), listPDB);
        for (const DirEntry& e : catalog.ListedFiles())
            if (Trim(e.fileName) + "." + Trim(e.extension) == name) return e;
        throw std::runtime_error("no file " + name);
    }
    DirEntry Open(std::size_t catalogIndex, const std::string& name) {
        DirEntry e = Find(catalogIndex, name);
        if (e.fileType != 0) file.ReadFABChain(e.fileStart, e.fabLength);
        return e;
    }

    MemorySectors disk;
    ScriptedPrompts prompts;
    EventHook hook;
    VersaDOSVolume volume;
    VersaDOSCatalog catalog;
    VersaDOSFile file;
    std::vector<ListItem> listSDB, listPDB;
    StringSink sink;
};

inline long LineCount(const std::string& text) {
    return std::count(text.begin(), text.end(), '\n');
}
