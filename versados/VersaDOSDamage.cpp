#include "VersaDOSDamage.h"

#include "KestrelSession.h"

#include "DiskContainer.h"
#include "EventHook.h"
#include "VersaDOSCatalog.h"
#include "VersaDOSFile.h"
#include "VersaDOSVolume.h"
#include "modUtility.h"

#include <set>

namespace {

constexpr std::int64_t SectorBytes = 256;
// A chain longer than this is damaged; the walks of the catalog stop there as well.
constexpr std::size_t MaxChain = 4096;

void AddSectors(std::vector<MappedItem>& items, const std::string& name, std::int64_t first,
                std::int64_t count) {
    if (first < 0 || count <= 0) return;
    AddStructure(items, name, first * SectorBytes, count * SectorBytes);
}

MappedItem MapFile(VersaDOSFile& file, const DirEntry& entry, const std::string& name,
                   Prompts& prompts) {
    MappedItem item;
    item.name = name;
    if (entry.fileType == 0) {
        const std::int64_t sectors = std::int64_t{file.ContiguousLast(entry)} + 1;
        item.size = std::max<std::int64_t>(sectors, 0) * SectorBytes;
        item.AddData(0, std::int64_t{entry.fileStart} * SectorBytes, item.size);
        return item;
    }
    if (!file.ReadFABChain(entry.fileStart, entry.fabLength) && entry.fileStart != 0) {
        // The chain ends at a FAB that cannot be read: the blocks it and the FABs after it list
        // are unknown, so the file's size is too.
        const std::int32_t lost =
            file.FABRecords().empty() ? entry.fileStart : file.FABRecords().back().link;
        prompts.MessageBox("Damaged File", name + ": the FAB at sector 0x" + Hex8(lost) +
                                               " cannot be read; the data it lists is lost");
    }
    const std::int64_t block = std::int64_t{std::max(entry.dbLength, 1)} * SectorBytes;
    const std::int64_t fabBytes = std::int64_t{std::max(entry.fabLength, 1)} * SectorBytes;
    for (const FABRecord& fab : file.FABRecords()) {
        const std::int64_t first = item.size;
        for (const FABSegment& segment : file.Segments()) {
            if (segment.fabSector != fab.sector) continue;
            item.AddData(item.size, std::int64_t{segment.dataStart} * SectorBytes, block);
            item.size += block;
        }
        item.runs.push_back(
            {std::int64_t{fab.sector} * SectorBytes, fabBytes, first, item.size - first, true});
    }
    return item;
}

} // namespace

std::string DamageMapName(std::int32_t user, const std::string& catalog, const DirEntry& entry) {
    const std::string extension = Trim(entry.extension);
    return ZeroPad(user, 4) + "." + Trim(catalog) + "." + Trim(entry.fileName) +
           (extension.empty() ? "" : "." + extension);
}

std::vector<MappedItem> MapVersaDOSVolume(SectorSource& disk, Prompts& prompts, EventHook& hook) {
    std::vector<MappedItem> items;
    VersaDOSVolume volume(disk);
    if (!volume.IsVersaDOSVolume()) return items;
    const VIDRecord& vid = volume.VID();
    AddSectors(items, "volume ID", 0, 1);
    AddSectors(items, "configuration area", vid.configSector, 1);
    AddSectors(items, "sector allocation table", vid.satStart, vid.satLength);

    VersaDOSCatalog catalog(disk, prompts, hook);
    VersaDOSFile file(disk, prompts, hook);
    file.SetVolumeSectors(volume.Config().totalSectors);
    std::vector<SDBEntry> catalogs;
    std::set<std::int32_t> visited;
    for (std::int32_t sdb = vid.sdbPointer;
         sdb != 0 && visited.insert(sdb).second && visited.size() <= MaxChain;) {
        AddSectors(items, "catalog list (SDB)", sdb, 1);
        if (!catalog.ReadSDB(sdb)) break;
        for (const SDBEntry& entry : catalog.CurrentSDB().entries)
            if (entry.pdbSector != 0) catalogs.push_back(entry);
        sdb = catalog.CurrentSDB().link;
    }
    for (const SDBEntry& entry : catalogs) {
        const std::string name = ZeroPad(entry.userNumber, 4) + "." + Trim(entry.catalogName);
        std::set<std::int32_t> pdbs;
        for (std::int32_t pdb = entry.pdbSector;
             pdb != 0 && pdbs.insert(pdb).second && pdbs.size() <= MaxChain;) {
            hook.ProcessEvents();
            if (hook.Aborted()) return items;
            AddSectors(items, "file list (PDB) of " + name, pdb, 4);
            const bool read = catalog.ReadPDB(pdb);
            for (const DirEntry& e : catalog.CurrentPDB().entries)
                if (!e.Empty())
                    items.push_back(MapFile(
                        file, e, DamageMapName(entry.userNumber, entry.catalogName, e), prompts));
            if (!read) break;
            pdb = catalog.CurrentPDB().link;
        }
    }
    return items;
}

DamageScan ScanKestrelDamage(const std::string& path, EventHook& hook) {
    return ScanLogicalViewDamage(path, hook, [&hook](SectorSource& sectors, Prompts& notes) {
        return MapVersaDOSVolume(sectors, notes, hook);
    });
}

bool ShowKestrelDamage(const std::string& path, DisplaySink& sink, Prompts& prompts,
                       EventHook& hook) {
    return ShowDamageScan(ScanKestrelDamage(path, hook), sink, prompts);
}

DamageLookup DamageLookupOf(DamageScan scan) {
    return [scan = std::move(scan)](const CatalogFile& row) {
        return SavedDamageText(scan, DamageMapName(row.userNumber, row.catalogName, row.entry),
                               false);
    };
}

std::string SavedKestrelDamage(KestrelSession& session, int index, const std::string& path,
                               EventHook& hook) {
    const DirEntry* entry = session.FileEntry(index);
    if (!entry || path.empty()) return "";
    const std::string& catalog = session.Catalogs()
                                     .at(static_cast<std::size_t>(session.SelectedCatalog()))
                                     .text; // ":0007.UTIL."
    const std::string extension = Trim(entry->extension);
    const std::string name =
        catalog.substr(1) + Trim(entry->fileName) + (extension.empty() ? "" : "." + extension);
    return SavedDamageText(ScanKestrelDamage(path, hook), name, false);
}
