#include "HeadlessPaths.h"

#include "DisplaySink.h"
#include "ImageDiskDrive.h"
#include "ImageDiskSummary.h"
#include "LsnMapping.h"
#include "ScriptedPrompts.h"

#include <array>
#include <vector>

namespace {

bool WholeTrackReadable(const TrackRecord& track) {
    return track.Present && (track.SizeCode == 0 || track.SizeCode == 1);
}

} // namespace

void ImageDiskPath(const std::string& image) {
    ScriptedPrompts prompts;
    std::unique_ptr<ImageDiskDrive> drive =
        OpenImageDiskDrive(image, prompts, "System V/68 File System", "Tamarin");
    if (!drive) return;
    StringSink sink;
    const DriveSlot& slot = drive->Slot(ImageDiskDrive::ImageDrive);
    ImageDiskSummary(sink, slot);
    ImageDiskSummary(sink, static_cast<const SectorSource&>(*drive));
    const std::int32_t tracks = slot.Reader->Tracks();
    // Every logical sector from -1 to one past the last track, but of a track the file lacks,
    // or whose sectors are neither 128 nor 256 bytes, only its first: the others fail alike.
    std::vector<std::int32_t> lsns;
    std::int32_t missingTrack = -1;
    for (std::int32_t lsn = -1;; ++lsn) {
        const LsnLocation where = MapLSN(slot, lsn);
        if (lsn >= 0 && (!where.found || where.track >= tracks)) {
            lsns.push_back(lsn);
            break;
        }
        if (where.found && !WholeTrackReadable(slot.Reader->Track(where.track))) {
            if (where.track == missingTrack) continue;
            missingTrack = where.track;
        }
        lsns.push_back(lsn);
    }
    std::array<std::uint8_t, 256> sector{};
    for (std::int32_t lsn : lsns)
        drive->ReadSector(lsn, sector);
    // Runs of sectors, as the file systems read blocks.
    std::vector<std::uint8_t> run(8 * 256);
    for (std::size_t i = 0; i < lsns.size(); i += 7)
        drive->ReadSectors(lsns[i], 8, run);
    drive->CloseDrive(ImageDiskDrive::ImageDrive);
    drive->ReadSector(0, sector);
}
