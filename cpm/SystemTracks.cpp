#include "SystemTracks.h"

#include "BusyPointer.h"
#include "CpmImage.h"
#include "ParseOffset.h"
#include "Prompts.h"
#include "QuarrySession.h"
#include "modFile.h"

#include <fstream>
#include <sys/stat.h>

namespace {

std::int64_t Needed(std::int64_t size) {
    return size <= 0 ? 0 : (size + RecordSize - 1) / RecordSize;
}

// The size of a regular file, or -1 when there is none.
std::int64_t RegularFileSize(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return -1;
    return static_cast<std::int64_t>(info.st_size);
}

void ClearRow(InsertionRow& row) {
    row = InsertionRow{};
}

} // namespace

RowTexts RowBoxes(const InsertionRow& row) {
    return {row.fileName, SizeHexText(row.fileSize), SizeHexText(row.location),
            std::to_string(row.sectorNumber), std::to_string(row.numberOfSectors)};
}

RowMarks ValidateRow(const InsertionRow& row, const DiskFormat& format) {
    const RowTexts texts = RowBoxes(row);
    const std::int64_t dataStart = format.DataAreaOffset / RecordSize;
    const std::int64_t room = dataStart - (row.sectorNumber - 1);
    const std::int64_t needed = Needed(row.fileSize);
    return {MarkEntry(texts.location, row.location % RecordSize == 0),
            MarkEntry(texts.sectorNumber, row.numberOfSectors <= room),
            MarkEntry(texts.numberOfSectors,
                      needed <= row.numberOfSectors && row.numberOfSectors <= room)};
}

void LocationChanged(InsertionRow& row, const std::string& text) {
    const std::int64_t v = std::max<std::int64_t>(ParseOffset(text), 0);
    row.location = v;
    row.sectorNumber = (v + 1 + RecordSize - 1) / RecordSize;
}

void SectorNumberChanged(InsertionRow& row, const std::string& text) {
    const std::int64_t v = std::max<std::int64_t>(ParseOffset(text), 1);
    row.sectorNumber = v;
    row.location = (v - 1) * RecordSize;
}

void NumberOfSectorsChanged(InsertionRow& row, const std::string& text) {
    row.numberOfSectors = std::max<std::int64_t>(ParseOffset(text), 1);
}

bool ImagePartEnabled(const DiskFormat& format, PieceKind piece) {
    return format.Piece(piece).count > 0;
}

void ApplyImagePart(InsertionRow& row, const DiskFormat& format, PieceKind piece) {
    const SystemPiece& p = format.Piece(piece);
    row.sectorNumber = p.start + 1;
    row.location = static_cast<std::int64_t>(p.start) * RecordSize;
    row.numberOfSectors = p.count;
}

void SystemTracks::Select(int row) {
    if (row >= 0 && row < static_cast<int>(m_rows.size())) m_selected = row;
}

bool SystemTracks::AddRow() {
    if (static_cast<int>(m_rows.size()) >= MaxRows) return false;
    m_rows.emplace_back();
    return true;
}

bool SystemTracks::RemoveFile(Prompts& prompts) {
    InsertionRow& row = SelectedRow();
    if (prompts.MessageBox("Removing binary File from List", "OK to remove  " + row.fileName,
                           Buttons::OkCancel) != Answer::Ok)
        return false;
    ClearRow(row);
    return true;
}

void SystemTracks::Refresh(Prompts& prompts) {
    for (InsertionRow& row : m_rows)
        if (row.inUse) row.fileSize = std::max<std::int64_t>(GetFileSize(row.fileName, prompts), 0);
}

bool SystemTracks::ChooseFile(int row, modFile& files, Prompts& prompts) {
    if (row < 0 || row >= static_cast<int>(m_rows.size())) return false;
    const std::string path = files.GetFileName("", "OPEN", "bin");
    if (path.empty()) return false;
    InsertionRow& r = m_rows[static_cast<std::size_t>(row)];
    r.fileName = path;
    r.fileSize = std::max<std::int64_t>(GetFileSize(path, prompts), 0);
    r.inUse = true;
    r.missing = false;
    return true;
}

int InsertAll(QuarrySession& session, DisplaySink& out, std::vector<InsertionRow>& rows) {
    Prompts& prompts = session.prompts();
    bool badLocation = false, badSector = false, badCount = false;
    for (const InsertionRow& row : rows) {
        if (!row.inUse) continue;
        const RowMarks marks = ValidateRow(row, session.Format());
        badLocation |= marks.location.Red();
        badSector |= marks.sectorNumber.Red();
        badCount |= marks.numberOfSectors.Red();
    }
    std::string errors;
    if (badLocation) errors += "File must be inserted on sector boundary (128 0x80)\r\n";
    if (badSector) errors += "Must start below Data Area\r\n";
    if (badCount) errors += "Must not overlap Data Area\r\nMust be as big as input file\r\n";
    if (!errors.empty()) {
        prompts.MessageBox("Error processing Image File", errors);
        return 0;
    }
    CpmImage& image = session.image();
    if (!image.Writable()) {
        prompts.MessageBox("Error processing Image File", "Writable Image File NOT Open");
        return 0;
    }

    BusyScope hourglass(session.pointer());
    QuarrySession::Change change(session, out);
    if (!change) return 0;
    std::string added;
    int count = 0;
    for (InsertionRow& row : rows) {
        if (!row.inUse) continue;
        const std::int64_t size = RegularFileSize(row.fileName);
        row.missing = size < 0;
        std::string refusal;
        if (size < 0)
            refusal = "File NOT processed - " + row.fileName;
        else if (Needed(size) > row.numberOfSectors)
            refusal = "File NOT processed - " + row.fileName + "\r\nIt has grown past the " +
                      std::to_string(row.numberOfSectors) + " sectors reserved for it";
        else if (row.location + size > image.FileSize())
            refusal = "File NOT processed - " + row.fileName +
                      "\r\nIt would reach past the end of the image";
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(std::max<std::int64_t>(size, 0)));
        if (refusal.empty()) {
            std::ifstream in(row.fileName, std::ios::binary);
            in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size));
            if (!in) refusal = "File NOT processed - " + row.fileName;
        }
        if (!refusal.empty()) {
            prompts.MessageBox("Unable to Process File", refusal);
            continue;
        }
        bool written = true;
        std::size_t done = 0;
        for (const FileRange& range :
             session.Format().Parameters().SystemRanges(row.location, std::ssize(bytes))) {
            const auto piece =
                std::span(bytes).subspan(done, static_cast<std::size_t>(range.length));
            written =
                written && image.WriteAt(range.position, piece, "Error processing Image File");
            done += piece.size();
        }
        if (!written) break;
        added += row.fileName + "\r\n";
        ++count;
    }
    image.RefreshFileSize();
    prompts.MessageBox("Processed Image File", "Files Added - \r\n" + added);
    return count;
}
