#include "cli/ImageDiskJson.h"

#include "CommentText.h"
#include "ImageDiskSummary.h"
#include "classIMDfile.h"

Json ImageDiskInfoJson(const DriveSlot& slot, const std::string& image) {
    Json doc;
    doc["image"] = StoredText(image);
    if (!slot.Reader) return doc;
    const classIMDfile& reader = *slot.Reader;
    doc["comment"] = StoredText(CommentText(reader.Comments()));
    doc["cylinders"] = slot.Cylinders;
    doc["heads"] = slot.Heads;
    doc["tracks"] = reader.Tracks();
    // Areas 1 and 2 (the first tracks when their format differs) come first; area 0 is the rest.
    const std::int32_t firsts[3] = {slot.Area1Tracks + slot.Area2Tracks, 0, slot.Area1Tracks};
    const std::int32_t counts[3] = {reader.Tracks() - firsts[0], slot.Area1Tracks,
                                    slot.Area2Tracks};
    Json areas = Json::array();
    for (int area : {1, 2, 0}) {
        const std::size_t a = static_cast<std::size_t>(area);
        if (counts[a] <= 0) continue;
        areas.push_back({{"area", area},
                         {"firstTrack", firsts[a]},
                         {"tracks", counts[a]},
                         {"sectorsPerTrack", slot.SectorsPerTrack[a]},
                         {"sectorSize", slot.SectorSize[a]},
                         {"rateCode", slot.RateCode[a]},
                         {"density", slot.Density[a]}});
    }
    doc["areas"] = std::move(areas);
    Json changes = Json::array();
    for (std::int32_t track = 1; track < reader.Tracks(); ++track) {
        if (!reader.IsChange(track)) continue;
        const TrackRecord& record = reader.Track(track);
        changes.push_back({{"track", track},
                           {"cylinder", track / reader.Heads()},
                           {"head", track % reader.Heads()},
                           {"mode", record.Mode},
                           {"sectors", record.SectorCount},
                           {"sectorSize", record.SizeCode >= 7 ? 0 : 128 << record.SizeCode}});
    }
    doc["formatChanges"] = std::move(changes);
    const ImageDiskCounts c = CountImageDiskRecords(reader);
    doc["readOnly"] = reader.RO();
    doc["unavailableSectors"] = c.unavailable;
    doc["compressedSectors"] = c.compressed;
    doc["missingTracks"] = c.missingTracks;
    doc["tracksWithoutSectors"] = c.emptyTracks;
    doc["truncated"] = reader.Truncated();
    doc["skippedTracks"] = reader.SkippedTracks();
    doc["deletedSectors"] = c.deleted;
    doc["dataErrorSectors"] = c.dataErrors;
    return doc;
}
