#include "VersaDOSCatalog.h"

#include "DisplaySink.h"
#include "EventHook.h"
#include "Prompts.h"
#include "SectorSource.h"
#include "modUtility.h"

#include <algorithm>
#include <set>

namespace {

// A chain longer than this many blocks cannot be a real catalog: every SDB holds 15 catalogs
// and every PDB 20 files, and the tables hold 1024 files.
constexpr std::size_t kMaxChainBlocks = 1024;

std::string Text(const std::uint8_t* bytes, int length) {
    return std::string(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(length));
}

std::string SectorText(std::int32_t sector) {
    return "0x" + Hex8(sector);
}

} // namespace

std::string FileTypeName(int fileType) {
    switch (fileType) {
    case 0:
        return "CN";
    case 1:
        return "SQ";
    case 2:
        return "IK";
    case 3:
        return "ID";
    default:
        return "";
    }
}

DirEntry DecodeDirEntry(const std::uint8_t* b) {
    const ByteSpan e(b, 50);
    DirEntry d;
    d.fileName = Text(b, 8);
    d.extension = Text(b + 8, 2);
    d.fileStart = GetLong(e, 12);
    d.fileEnd = GetLong(e, 16);
    d.sectorEOF = GetLong(e, 20);
    d.recordEOF = GetLong(e, 24);
    d.writeCode = GetByte(e, 28);
    d.readCode = GetByte(e, 29);
    d.fileType = GetByte(e, 30);
    d.recordLength = GetWord(e, 32);
    d.keyLength = GetByte(e, 35);
    d.fabLength = GetByte(e, 36);
    d.dbLength = GetByte(e, 37);
    d.dateChanged = GetWord(e, 38);
    d.dateAccessed = GetWord(e, 40);
    return d;
}

bool VersaDOSCatalog::ReadSDB(std::int32_t sector) {
    Sector buffer{};
    const bool ok = m_disk.ReadSector(sector, buffer);
    if (!ok) buffer.fill(0);
    m_sdb.link = GetLong(buffer, 0);
    for (int i = 0; i < 15; ++i) {
        const int at = 16 + 16 * i;
        SDBEntry& entry = m_sdb.entries[static_cast<std::size_t>(i)];
        entry.userNumber = GetWord(buffer, at);
        entry.catalogName = TextField(buffer, at + 2, 8);
        entry.pdbSector = GetLong(buffer, at + 10);
    }
    return ok;
}

bool VersaDOSCatalog::ReadPDB(std::int32_t sector) {
    // Four sectors; one that cannot be read leaves its quarter zeroed.
    std::array<std::uint8_t, 1024> buffer{};
    bool ok = true;
    for (int i = 0; i < 4; ++i) {
        Sector part{};
        const std::int32_t at = SectorAfter(sector, i);
        ok = at >= 0 && m_disk.ReadSector(at, part);
        if (ok) std::copy(part.begin(), part.end(), buffer.begin() + 256 * i);
    }
    m_pdb.link = GetLong(buffer, 0);
    m_pdb.userNumber = GetWord(buffer, 4);
    m_pdb.catalogName = Text(buffer.data() + 6, 8);
    for (int i = 0; i < 20; ++i)
        m_pdb.entries[static_cast<std::size_t>(i)] = DecodeDirEntry(buffer.data() + 16 + 50 * i);
    return ok;
}

bool VersaDOSCatalog::ReadSAT(std::int32_t start, std::int32_t count) {
    m_sat.assign(static_cast<std::size_t>(std::max(count, 0)) * 256, 0);
    for (std::int32_t i = 0; i < count; ++i) {
        const std::int32_t at = SectorAfter(start, i);
        if (at < 0 || !m_disk.ReadSector(
                          at, std::span(m_sat).subspan(static_cast<std::size_t>(i) * 256, 256)))
            return false;
    }
    return true;
}

void VersaDOSCatalog::Warn(const std::string& text) {
    m_prompts.MessageBox("Damaged Catalog", text);
}

int VersaDOSCatalog::LoadCatalog(const VersaDOSVolume& volume, std::vector<ListItem>& catalogs) {
    catalogs.clear();
    int selected = -1;
    std::set<std::int32_t> visited;
    std::int32_t sector = volume.VID().sdbPointer;
    bool first = true;
    while (first || m_sdb.link != 0) {
        if (!first) sector = m_sdb.link;
        first = false;
        if (!visited.insert(sector).second) {
            Warn("The SDB chain returns to sector " + SectorText(sector) +
                 "; the catalog list ends there.");
            break;
        }
        if (visited.size() > kMaxChainBlocks) {
            Warn("The SDB chain is longer than " + std::to_string(kMaxChainBlocks) +
                 " blocks; the catalog list ends at sector " + SectorText(sector) + ".");
            break;
        }
        ReadSDB(sector);
        const std::size_t before = catalogs.size();
        for (const SDBEntry& entry : m_sdb.entries) {
            if (entry.pdbSector == 0) continue;
            catalogs.push_back(
                {":" + ZeroPad(entry.userNumber, 4) + "." + Trim(entry.catalogName) + ".",
                 entry.pdbSector});
        }
        if (catalogs.size() > before) selected = static_cast<int>(before);
    }
    return selected;
}

template <typename Add> void VersaDOSCatalog::WalkPDBChain(std::int32_t first, Add add) {
    std::set<std::int32_t> visited;
    std::int32_t sector = first;
    while (sector != 0) {
        if (!visited.insert(sector).second) {
            Warn("The PDB chain of catalog " + Trim(m_pdb.catalogName) + " returns to sector " +
                 SectorText(sector) + "; its file list ends there.");
            return;
        }
        if (visited.size() > kMaxChainBlocks) {
            Warn("The PDB chain at sector " + SectorText(first) + " is longer than " +
                 std::to_string(kMaxChainBlocks) + " blocks; its file list ends there.");
            return;
        }
        ReadPDB(sector);
        for (const DirEntry& entry : m_pdb.entries) {
            if (entry.Empty()) continue;
            if (!add(entry)) {
                Warn("More than " + std::to_string(kMaxFiles) + " files; only the first " +
                     std::to_string(kMaxFiles) + " are listed.");
                return;
            }
        }
        sector = m_pdb.link;
    }
}

int VersaDOSCatalog::SelectCatalog(std::int32_t pdbSector, std::vector<ListItem>& files) {
    if (pdbSector == 0) return -1;
    files.clear();
    m_listed.clear();
    WalkPDBChain(pdbSector, [&](const DirEntry& entry) {
        if (m_listed.size() >= kMaxFiles) return false;
        files.push_back({entry.fileName + "." + Trim(entry.extension),
                         static_cast<std::int64_t>(m_listed.size())});
        m_listed.push_back(entry);
        return true;
    });
    return m_listed.empty() ? -1 : 0;
}

void VersaDOSCatalog::BuildCatalogTable(const std::vector<ListItem>& catalogs) {
    m_table.clear();
    bool full = false;
    for (const ListItem& item : catalogs) {
        if (item.data == 0 || full) continue;
        WalkPDBChain(static_cast<std::int32_t>(item.data), [&](const DirEntry& entry) {
            if (m_table.size() >= kMaxFiles) {
                full = true;
                return false;
            }
            m_table.push_back({entry, m_pdb.userNumber, m_pdb.catalogName});
            return true;
        });
    }
    // A stable sort gives the order of repeated adjacent exchanges.
    std::size_t comparisons = 0;
    std::stable_sort(m_table.begin(), m_table.end(),
                     [&](const CatalogFile& a, const CatalogFile& b) {
                         if (++comparisons % 256 == 0) m_hook.ProcessEvents();
                         if (a.userNumber != b.userNumber) return a.userNumber < b.userNumber;
                         if (a.catalogName != b.catalogName) return a.catalogName < b.catalogName;
                         if (a.entry.fileName != b.entry.fileName)
                             return a.entry.fileName < b.entry.fileName;
                         return a.entry.extension < b.entry.extension;
                     });
}

void VersaDOSCatalog::ShowListing(DisplaySink& sink, const VersaDOSVolume& volume, int form) const {
    const VIDRecord& v = volume.VID();
    std::string t = Trim(v.volumeName) + ":" + ZeroPad(v.userNumber, 4) + " " + Trim(v.descriptor) +
                    "  V/R " + v.versionText + " (" + Hex8(v.versionLong) + ")" + " " +
                    " Generation Date " + VersaDOSDate(v.generationDate) + " (" +
                    Hex8(v.generationDate) + ")" + CRLF;
    t += " Total Files on Disk - " + std::to_string(m_table.size()) + CRLF;

    auto name8 = [](const CatalogFile& f) {
        return ZeroPad(f.userNumber, 4) + "." + f.catalogName + "." + f.entry.fileName + "." +
               f.entry.extension;
    };
    auto header = [&t](const char* text) {
        t += CRLF;
        t += text;
        t += CRLF;
        t += CRLF;
    };
    switch (form) {
    case 0:
        header("User Catalog  Filename Ex - WC RC FT RECL KL  Created  Accessed");
        for (const CatalogFile& f : m_table) {
            const DirEntry& e = f.entry;
            t += name8(f) + " - " + ZeroPad(e.writeCode, 2) + " " + ZeroPad(e.readCode, 2) + " " +
                 FileTypeName(e.fileType) + " " + Hex4(e.recordLength) + " " + Hex2(e.keyLength) +
                 "  " + VersaDOSDate(e.dateChanged) + " " + VersaDOSDate(e.dateAccessed) + CRLF;
        }
        break;
    case 1:
        header("User.Catalog.Filename.Ex ");
        for (const CatalogFile& f : m_table)
            t += ZeroPad(f.userNumber, 4) + "." + Trim(f.catalogName) + "." +
                 Trim(f.entry.fileName) + "." + Trim(f.entry.extension) + CRLF;
        break;
    case 2:
        header("User Catalog  Filename Ex ");
        for (const CatalogFile& f : m_table)
            t += name8(f) + CRLF;
        break;
    default: {
        int inRow = 0;
        const CatalogFile* previous = nullptr;
        for (const CatalogFile& f : m_table) {
            if (!previous || previous->userNumber != f.userNumber ||
                previous->catalogName != f.catalogName) {
                if (inRow % 5 != 0) t += CRLF;
                t += CRLF;
                t += " U/C - " + ZeroPad(f.userNumber, 4) + "." + Trim(f.catalogName) + CRLF;
                t += CRLF;
                inRow = 0;
            }
            previous = &f;
            t += f.entry.fileName + "." + f.entry.extension;
            ++inRow;
            t += inRow % 5 == 0 ? CRLF : " : ";
        }
        break;
    }
    }
    sink.Append(t);
}
