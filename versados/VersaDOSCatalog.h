// The two-level VersaDOS catalog. Secondary directory blocks (SDBs, one sector, chained) list
// the catalogs: user number, 8-character catalog name and the first primary directory block.
// Primary directory blocks (PDBs, four sectors, chained per catalog) hold 20 directory entries
// of 50 bytes each.
#pragma once

#include "VersaDOSVolume.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class DisplaySink;
class EventHook;
class Prompts;

struct DirEntry {
    std::string fileName;  // 8 characters, blanks kept
    std::string extension; // 2 characters
    std::int32_t fileStart = 0;
    std::int32_t fileEnd = 0; // contiguous files: offset of the last sector from the start
    std::int32_t sectorEOF = 0;
    std::int32_t recordEOF = 0;
    int writeCode = 0;
    int readCode = 0;
    int fileType = 0; // 0 contiguous, 1 sequential, 2 indexed, 3 indexed with duplicate keys
    std::int32_t recordLength = 0; // 0: variable-length records
    int keyLength = 0;
    int fabLength = 0; // sectors per file access block
    int dbLength = 0;  // sectors per data block
    std::int32_t dateChanged = 0;
    std::int32_t dateAccessed = 0;
    bool Empty() const { return fileName.empty() || fileName[0] == '\0'; }
};

struct SDBEntry {
    std::int32_t userNumber = 0;
    std::string catalogName;
    std::int32_t pdbSector = 0; // 0: empty entry
};

struct SDBRecord {
    std::int32_t link = 0;
    std::array<SDBEntry, 15> entries;
};

struct PDBRecord {
    std::int32_t link = 0;
    std::int32_t userNumber = 0;
    std::string catalogName;
    std::array<DirEntry, 20> entries;
};

// One row of the whole-disk table: an entry and the catalog that holds it.
struct CatalogFile {
    DirEntry entry;
    std::int32_t userNumber = 0;
    std::string catalogName;
};

// A catalog or a file as it is named on the volume, and where it leads: for a catalog
// (":0007.UTIL.") the first sector of its PDB chain, for a file ("AB.SA") its index among the
// files of its catalog.
struct ListItem {
    std::string text;
    std::int64_t data = 0;
};

std::string FileTypeName(int fileType);
DirEntry DecodeDirEntry(const std::uint8_t* bytes); // 50 bytes

class VersaDOSCatalog {
  public:
    static constexpr std::size_t kMaxFiles = 1024;

    VersaDOSCatalog(SectorSource& disk, Prompts& prompts, EventHook& hook)
        : m_disk(disk), m_prompts(prompts), m_hook(hook) {}

    bool ReadSDB(std::int32_t sector);
    bool ReadPDB(std::int32_t sector);
    bool ReadSAT(std::int32_t start, std::int32_t count);

    // Follows the SDB chain from the volume's SDB pointer and fills catalogs with its catalogs
    // (":0007.UTIL.", data the first PDB sector). Returns the one to select, or -1.
    int LoadCatalog(const VersaDOSVolume& volume, std::vector<ListItem>& catalogs);
    // Follows one catalog's PDB chain and fills files with its files (data: the index in
    // ListedFiles). Returns the one to select, or -1.
    int SelectCatalog(std::int32_t pdbSector, std::vector<ListItem>& files);
    const std::vector<DirEntry>& ListedFiles() const { return m_listed; }

    // Every file of the catalogs, sorted by user, catalog, name and extension.
    void BuildCatalogTable(const std::vector<ListItem>& catalogs);
    const std::vector<CatalogFile>& CatalogTable() const { return m_table; }
    // The whole-disk listing in form 0..3 (the table must be built).
    void ShowListing(DisplaySink& sink, const VersaDOSVolume& volume, int form) const;

    const SDBRecord& CurrentSDB() const { return m_sdb; }
    const PDBRecord& CurrentPDB() const { return m_pdb; }
    const std::vector<std::uint8_t>& SAT() const { return m_sat; }

  private:
    // Walks one catalog's PDB chain, calling add for each non-empty entry until it returns
    // false; a loop or an over-long chain ends the walk with one message.
    template <typename Add> void WalkPDBChain(std::int32_t first, Add add);
    void Warn(const std::string& text);

    SectorSource& m_disk;
    Prompts& m_prompts;
    EventHook& m_hook;
    SDBRecord m_sdb;
    PDBRecord m_pdb;
    std::vector<std::uint8_t> m_sat;
    std::vector<DirEntry> m_listed;
    std::vector<CatalogFile> m_table;
};
