#include "ImageDiskSummary.h"

#include "CommentText.h"
#include "ImageDiskDrive.h"

#include <string>

namespace {

std::string Line(const std::string& text) {
    return text + "\r\n";
}

std::string RateText(std::int32_t code) {
    switch (code) {
    case 8:
        return "rate code 8 (500 kbit/s)";
    case 7:
        return "rate code 7 (300 kbit/s)";
    case 6:
        return "rate code 6 (250 kbit/s)";
    default:
        return "rate code " + std::to_string(code) + " (unknown mode)";
    }
}

std::string DensityText(std::int32_t density) {
    switch (density) {
    case 1:
        return "single density";
    case 2:
        return "double density";
    default:
        return "unknown density";
    }
}

std::string Place(const classIMDfile& reader, std::int32_t track) {
    return "track " + std::to_string(track) + " (cylinder " +
           std::to_string(track / reader.Heads()) + ", head " +
           std::to_string(track % reader.Heads()) + ")";
}

std::string AreaLine(const DriveSlot& slot, int area, std::int32_t first, std::int32_t tracks) {
    std::string text = "  Area " + std::to_string(area) + ": ";
    if (tracks <= 0) return Line(text + "no tracks");
    const std::size_t a = static_cast<std::size_t>(area);
    return Line(text + "tracks " + std::to_string(first) + "-" +
                std::to_string(first + tracks - 1) + " (" + std::to_string(tracks) + "), " +
                std::to_string(slot.SectorsPerTrack[a]) + " sectors per track, " +
                std::to_string(slot.SectorSize[a]) + " bytes per sector, " +
                RateText(slot.RateCode[a]) + ", " + DensityText(slot.Density[a]));
}

// The comment with every line ended by CR LF.
std::string CommentLines(const std::string& comments) {
    const std::string text = CommentText(comments);
    std::string lines;
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            lines += Line("  " + line);
            line.clear();
        } else {
            line += text[i];
        }
    }
    if (!line.empty()) lines += Line("  " + line);
    return lines;
}

} // namespace

ImageDiskCounts CountImageDiskRecords(const classIMDfile& reader) {
    ImageDiskCounts counts;
    for (std::int32_t track = 0; track < reader.Tracks(); ++track) {
        const TrackRecord& record = reader.Track(track);
        if (!record.Present) {
            if (++counts.missingTracks <= 8)
                counts.missingList +=
                    (counts.missingList.empty() ? "" : ", ") + Place(reader, track);
            continue;
        }
        if (record.SectorCount == 0) ++counts.emptyTracks;
        for (std::int32_t slot = 0; slot < record.SectorCount; ++slot) {
            if (reader.SectorPosition(track, slot) == 0) continue;
            const int type = reader.SectorType(track, slot);
            if (type == 0) ++counts.unavailable;
            if (type > 8) continue;
            if (type >= 2 && type % 2 == 0) ++counts.compressed;
            if (type == 3 || type == 4 || type == 7 || type == 8) ++counts.deleted;
            if (type >= 5) ++counts.dataErrors;
        }
    }
    if (counts.missingTracks > 8) counts.missingList += ", ...";
    return counts;
}

void ImageDiskSummary(DisplaySink& sink, const DriveSlot& slot) {
    if (!slot.Reader) return;
    const classIMDfile& reader = *slot.Reader;
    std::string text = Line("ImageDisk image") + Line("Comment:") + CommentLines(reader.Comments());
    text += Line("Cylinders: " + std::to_string(slot.Cylinders));
    text += Line("Heads: " + std::to_string(slot.Heads));
    text += Line("Tracks: " + std::to_string(reader.Tracks()));

    const std::int32_t mainFirst = slot.Area1Tracks + slot.Area2Tracks;
    text += Line("Areas:");
    text += AreaLine(slot, 1, 0, slot.Area1Tracks);
    text += AreaLine(slot, 2, slot.Area1Tracks, slot.Area2Tracks);
    text += AreaLine(slot, 0, mainFirst, reader.Tracks() - mainFirst);

    std::int32_t changes = 0;
    std::string changeLines;
    for (std::int32_t track = 1; track < reader.Tracks(); ++track) {
        if (!reader.IsChange(track)) continue;
        ++changes;
        const TrackRecord& record = reader.Track(track);
        const std::int32_t size = record.SizeCode >= 7 ? 0 : 128 << record.SizeCode;
        changeLines += Line(
            "  At " + Place(reader, track) + ": mode " + std::to_string(record.Mode) + ", " +
            std::to_string(record.SectorCount) + " sectors of " + std::to_string(size) + " bytes");
    }
    text += Line("Format changes: " + std::to_string(changes)) + changeLines;
    if (changes > 2) text += Line("  Only the first three areas are read");

    const ImageDiskCounts counts = CountImageDiskRecords(reader);
    text += Line(std::string("Read only: ") + (reader.RO() ? "yes" : "no"));
    text += Line("  Unavailable sectors: " + std::to_string(counts.unavailable));
    text += Line("  Compressed sectors: " + std::to_string(counts.compressed));
    text += Line("  Missing tracks: " + std::to_string(counts.missingTracks) +
                 (counts.missingList.empty() ? "" : ": " + counts.missingList));
    if (counts.emptyTracks > 0)
        text += Line("  Tracks without sectors: " + std::to_string(counts.emptyTracks));
    if (reader.Truncated()) text += Line("  The file ends inside a track or sector record");
    if (reader.SkippedTracks() > 0)
        text += Line("  Track records beyond track 255 skipped: " +
                     std::to_string(reader.SkippedTracks()));
    if (reader.ReadError())
        text += Line("  Read error " + std::to_string(reader.ReadError().number) + ": " +
                     reader.ReadError().description);
    if (counts.deleted > 0)
        text += Line("Sectors marked deleted: " + std::to_string(counts.deleted));
    if (counts.dataErrors > 0)
        text += Line("Sectors imaged with data errors: " + std::to_string(counts.dataErrors));
    sink.Append(text);
}

void ImageDiskSummary(DisplaySink& sink, const SectorSource& disk) {
    if (const auto* drive = dynamic_cast<const ImageDiskDrive*>(&disk))
        ImageDiskSummary(sink, drive->Slot(ImageDiskDrive::ImageDrive));
}
