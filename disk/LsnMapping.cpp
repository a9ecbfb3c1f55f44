#include "LsnMapping.h"

namespace {

struct Area {
    int number;          // index into the slot's arrays
    std::int64_t tracks; // -1: to the end of the disk
};

} // namespace

LsnLocation MapLSN(const DriveSlot& slot, std::int32_t lsn) {
    LsnLocation where;
    if (lsn < 0) {
        where.problem = "Logical sector " + std::to_string(lsn) + " does not exist";
        return where;
    }
    if (slot.Heads < 1) {
        where.problem = "The image has no tracks";
        return where;
    }
    const Area areas[] = {{1, slot.Area1Tracks}, {2, slot.Area2Tracks}, {0, -1}};
    std::int64_t remaining = lsn;
    std::int64_t track = 0;
    for (const Area& area : areas) {
        if (area.tracks == 0) continue;
        const std::size_t a = static_cast<std::size_t>(area.number);
        const std::int64_t perPair = slot.SectorSize[a] == 128 ? 2 : 1;
        const std::int64_t perTrack = slot.SectorsPerTrack[a] / perPair;
        if (perTrack <= 0) {
            where.problem = "Track " + std::to_string(track) + " has no 256-byte logical sectors";
            return where;
        }
        if (area.tracks < 0 || remaining < area.tracks * perTrack) {
            track += remaining / perTrack;
            const std::int64_t index = (remaining % perTrack) * perPair;
            const std::int64_t cylinder = track / slot.Heads;
            if (cylinder > 255 || index > 255) {
                where.problem =
                    "Logical sector " + std::to_string(lsn) + " lies beyond cylinder 255";
                return where;
            }
            where.found = true;
            where.track = static_cast<std::int32_t>(track);
            where.cylinder = static_cast<std::int32_t>(cylinder);
            where.head = static_cast<std::int32_t>(track % slot.Heads);
            where.index = static_cast<std::int32_t>(index);
            return where;
        }
        remaining -= area.tracks * perTrack;
        track += area.tracks;
    }
    return where;
}
