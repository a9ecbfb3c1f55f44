#include "LsnMapping.h"

#include <vector>

namespace {

struct Area {
    int number;          // index into the layout's arrays
    std::int64_t tracks; // -1: to the end of the disk
};

bool FormatChanges(const TrackFormat& track, const TrackFormat& previous) {
    return track.sizeCode != previous.sizeCode || track.sectors != previous.sectors ||
           track.mode != previous.mode;
}

std::int32_t FormatTrack(std::span<const TrackFormat> tracks, std::int32_t first,
                         std::int32_t count) {
    const std::int32_t end = static_cast<std::int32_t>(tracks.size());
    for (std::int32_t t = first; t < first + count && t < end; ++t)
        if (tracks[static_cast<std::size_t>(t)].present) return t;
    return first;
}

} // namespace

LsnLocation MapLSN(const DriveSlot& slot, std::int32_t lsn) {
    AreaLayout layout;
    layout.Heads = slot.Heads;
    layout.Area1Tracks = slot.Area1Tracks;
    layout.Area2Tracks = slot.Area2Tracks;
    layout.SectorsPerTrack = slot.SectorsPerTrack;
    layout.SectorSize = slot.SectorSize;
    return MapLSN(layout, lsn);
}

LsnLocation MapLSN(const AreaLayout& slot, std::int32_t lsn) {
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

// A track absent from the disk has no format: each present track is compared with the present
// track before it, so that a missing track does not split the disk into extra areas.
AreaSplit SplitAreas(std::span<const TrackFormat> tracks) {
    std::vector<std::int32_t> changes;
    const TrackFormat* previous = nullptr;
    for (std::size_t t = 0; t < tracks.size(); ++t) {
        if (!tracks[t].present) continue;
        if (previous && FormatChanges(tracks[t], *previous))
            changes.push_back(static_cast<std::int32_t>(t));
        previous = &tracks[t];
    }
    const std::int32_t count = static_cast<std::int32_t>(tracks.size());
    AreaSplit split;
    split.changes = static_cast<std::int32_t>(changes.size());
    if (changes.empty()) {
        split.formatTrack.fill(FormatTrack(tracks, 0, count));
    } else if (changes.size() == 1) {
        const std::int32_t c1 = changes[0];
        split.area1Tracks = c1;
        split.formatTrack[1] = split.formatTrack[2] = FormatTrack(tracks, 0, c1);
        split.formatTrack[0] = FormatTrack(tracks, c1, count - c1);
    } else {
        const std::int32_t c1 = changes[0];
        const std::int32_t c2 = changes[1];
        split.area1Tracks = c1;
        split.area2Tracks = c2 - c1;
        split.formatTrack[1] = FormatTrack(tracks, 0, c1);
        split.formatTrack[2] = FormatTrack(tracks, c1, c2 - c1);
        split.formatTrack[0] = FormatTrack(tracks, c2, count - c2);
    }
    return split;
}
