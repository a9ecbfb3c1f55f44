#include "ImageDiskModel.h"

#include "HostFiles.h"

#include <vector>

namespace {

bool HoldsData(int type) {
    return type >= 1 && type <= 8 && type % 2 == 1;
}

std::uint32_t BytesOfCode(int sizeCode) {
    return sizeCode >= 7 ? 0 : 128u << sizeCode;
}

std::uint32_t RateOfMode(int mode) {
    static constexpr std::uint32_t rates[] = {500, 300, 250};
    return mode >= 0 && mode <= 5 ? rates[mode % 3] : 0;
}

// The track's header and maps as the file holds them (5 bytes, then the sector numbering map and
// the optional cylinder and head maps), read from before its first sector record. Empty when the
// track has no sector record to find it by.
std::vector<std::uint8_t> Preamble(ImageFile& file, const classIMDfile& reader, std::int32_t t) {
    const TrackRecord& record = reader.Track(t);
    const std::int32_t first = record.SectorCount > 0 ? reader.SectorPosition(t, 0) : 0;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(record.PreambleLength));
    if (first <= record.PreambleLength || file.Read(first - record.PreambleLength, bytes))
        return {};
    // The reader indexed this very header; anything else means the file is not what it read.
    if (bytes[0] != record.Mode || bytes[1] != record.Cylinder || (bytes[2] & 1) != record.Head ||
        bytes[3] != record.SectorCount || (bytes[4] & 7) != record.SizeCode)
        return {};
    return bytes;
}

} // namespace

ImageDiskModel ReadImageDiskModel(const std::string& path) {
    ImageDiskModel model;
    HostFiles files;
    if (HostError error = files.OpenForRead(1, path)) {
        model.problem = error.description;
        return model;
    }
    ImageFile& file = *files.File(1);
    classIMDfile reader(files);
    reader.FileNumber(1);
    model.isImageDisk = reader.IsIMDfile();
    if (!model.isImageDisk) {
        model.problem = "the file does not start with \"IMD \"";
        return model;
    }
    reader.ProcessIMDfile();
    model.comment = reader.Comments();
    model.readOnly = reader.RO();
    std::vector<std::uint8_t> data;
    for (std::int32_t t = 0; t < reader.Tracks(); ++t) {
        const TrackRecord& record = reader.Track(t);
        if (!record.Present) continue;
        PhysicalTrack track;
        track.cylinder = record.Cylinder;
        track.head = record.Head;
        track.mode = record.Mode;
        track.sizeCode = record.SizeCode;
        track.dataRate = RateOfMode(record.Mode);
        track.fm = record.Mode <= 2;
        model.disk.AddTrack(track);
        const std::vector<std::uint8_t> preamble = Preamble(file, reader, t);
        const std::size_t n = record.SectorCount;
        const std::size_t cylinderMap = 5 + n;
        const std::size_t headMap = cylinderMap + (record.HasCylinderMap ? n : 0);
        for (std::int32_t s = 0; s < record.SectorCount; ++s) {
            const std::size_t i = static_cast<std::size_t>(s);
            PhysicalSector sector;
            // Without its header (a file cut off in the track) the numbers are the normalised
            // ones of the index.
            sector.idSector = preamble.empty() ? reader.SectorMap(t, s) : preamble[5 + i];
            sector.idCylinder = !preamble.empty() && record.HasCylinderMap
                                    ? preamble[cylinderMap + i]
                                    : record.Cylinder;
            sector.idHead =
                !preamble.empty() && record.HasHeadMap ? preamble[headMap + i] : record.Head;
            sector.sizeCode = record.SizeCode;
            sector.size = BytesOfCode(record.SizeCode);
            const int type = reader.SectorType(t, s);
            const std::int32_t position = reader.SectorPosition(t, s);
            sector.deleted = type == 3 || type == 4 || type == 7 || type == 8;
            sector.status = position == 0 || type == 0 || type > 8 ? SectorStatus::Unavailable
                            : type >= 5                            ? SectorStatus::DataError
                                                                   : SectorStatus::Good;
            bool added = false;
            if (sector.status != SectorStatus::Unavailable && HoldsData(type)) {
                data.resize(sector.size);
                if (HostError error = file.Read(position + 1, data)) {
                    model.problem = error.description;
                    return model;
                }
                added = model.disk.AddSector(sector, data);
            } else {
                added = model.disk.AddUniformSector(
                    sector,
                    sector.status == SectorStatus::Unavailable ? 0 : reader.SectorFill(t, s));
            }
            if (!added) {
                model.problem = "the image describes more than " +
                                std::to_string(PhysicalDisk::MaxBytes >> 20) + " MiB of sectors";
                return model;
            }
        }
    }
    return model;
}
