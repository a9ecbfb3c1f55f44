// The "System Tracks" insertion rows: host binaries (boot record, CCP, BDOS, BIOS, ...) copied
// into the system area at chosen 128-byte record positions. A row is checked against the data
// area of the current format before anything is written; the copy never reaches past the
// records the row reserves, nor past the end of the image.
#pragma once

#include "DiskFormat.h"
#include "NumberEntry.h"

#include <cstdint>
#include <string>
#include <vector>

class Prompts;
class DisplaySink;
class QuarrySession;
class modFile;

struct InsertionRow {
    std::string fileName;
    std::int64_t fileSize = 0;
    std::int64_t location = 0;        // byte offset in the image
    std::int64_t sectorNumber = 1;    // 1-based record: location = (sectorNumber - 1) x 128
    std::int64_t numberOfSectors = 1; // records reserved for the file
    bool inUse = false;
    bool missing = false; // the file was gone at the last insertion (its box is painted red)
};

// The five boxes of a row as the window shows them.
struct RowTexts {
    std::string fileName;
    std::string fileSize;        // "0x" + hex
    std::string location;        // "0x" + hex
    std::string sectorNumber;    // decimal
    std::string numberOfSectors; // decimal
};
RowTexts RowBoxes(const InsertionRow& row);

// The colours of the location, sector number and number-of-sectors boxes.
struct RowMarks {
    EntryMark location;
    EntryMark sectorNumber;
    EntryMark numberOfSectors;
};
RowMarks ValidateRow(const InsertionRow& row, const DiskFormat& format);

// What typing in a box does to the row (the texts are then refreshed from the row).
void LocationChanged(InsertionRow& row, const std::string& text);
void SectorNumberChanged(InsertionRow& row, const std::string& text);
void NumberOfSectorsChanged(InsertionRow& row, const std::string& text);

// "Image Part" menu: whether an entry is offered, and what choosing it sets.
bool ImagePartEnabled(const DiskFormat& format, PieceKind piece);
void ApplyImagePart(InsertionRow& row, const DiskFormat& format, PieceKind piece);

// The rows of the tab.
class SystemTracks {
  public:
    static constexpr int MaxRows = 256;
    SystemTracks() : m_rows(1) {}

    std::vector<InsertionRow>& Rows() { return m_rows; }
    int Selected() const { return m_selected; }
    void Select(int row);
    InsertionRow& SelectedRow() { return m_rows[static_cast<std::size_t>(m_selected)]; }

    // "Add File": a blank row below the last; false when all rows exist already.
    bool AddRow();
    // "Remove File": empties the selected row after asking.
    bool RemoveFile(Prompts& prompts);
    // "Refresh": every row in use takes its file's size again.
    void Refresh(Prompts& prompts);
    // Double-click on a file name box: the open dialog chooses the row's file.
    bool ChooseFile(int row, modFile& files, Prompts& prompts);

  private:
    std::vector<InsertionRow> m_rows;
    int m_selected = 0;
};

// "Insert All Into Image". Returns the number of files inserted.
int InsertAll(QuarrySession& session, DisplaySink& out, std::vector<InsertionRow>& rows);
