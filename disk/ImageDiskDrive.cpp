#include "ImageDiskDrive.h"

#include "CommentText.h"
#include "LsnMapping.h"
#include "OpenWith.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <vector>

namespace {

bool HoldsData(int type) {
    return type >= 1 && type <= 8 && type % 2 == 1;
}

std::int32_t Number(const std::string& text) {
    try {
        return std::stoi(text);
    } catch (const std::exception&) {
        return 0;
    }
}

std::string Place(std::int32_t cylinder, std::int32_t head) {
    return "cylinder " + std::to_string(cylinder) + ", head " + std::to_string(head);
}

} // namespace

ImageDiskDrive::ImageDiskDrive(Prompts& prompts, std::string programTitle)
    : m_prompts(prompts), m_programTitle(std::move(programTitle)), m_caption(m_programTitle) {}

DriveSlot& ImageDiskDrive::Slot(int index) {
    return m_drives[SlotIndex(index)];
}

const DriveSlot& ImageDiskDrive::Slot(int index) const {
    return m_drives[SlotIndex(index)];
}

std::size_t ImageDiskDrive::SlotIndex(int index) {
    if (index < 0 || index >= DriveCount)
        throw std::out_of_range("drive slot " + std::to_string(index) + " does not exist");
    return static_cast<std::size_t>(index);
}

ImageDiskDrive::OpenResult ImageDiskDrive::OpenImage(const std::string& path,
                                                     const std::string& fileTitle) {
    if (HasImage() || m_files.File(ImageDrive)) CloseDrive(ImageDrive);
    DriveSlot& slot = Slot(ImageDrive);
    slot.FileName = path;
    slot.FileTitle = fileTitle;
    m_caption = m_programTitle + " " + path;
    slot.ReadOnly = true;
    OpenResult result;
    result.openError = m_files.OpenForRead(ImageDrive, path);
    if (!result.openError) result.accepted = OpenImageDisk(ImageDrive);
    return result;
}

bool ImageDiskDrive::OpenImageDisk(int index) {
    DriveSlot& slot = Slot(index);
    slot.Reader = std::make_unique<classIMDfile>(m_files);
    slot.Reader->FileNumber(index);
    slot.IsImageDisk = slot.Reader->IsIMDfile();
    if (!slot.IsImageDisk) {
        slot.Reader.reset();
        m_prompts.MessageBox("Open IMD Error ", WithOpenWithHint("Not an IMD file", slot.FileName));
        return false;
    }
    classIMDfile& reader = *slot.Reader;
    reader.ProcessIMDfile();
    slot.ReadOnly = slot.ReadOnly || reader.RO();
    m_prompts.MessageBox(std::string("IMD File will Open ") +
                             (slot.ReadOnly ? "READ ONLY" : "Read/Write"),
                         CommentText(reader.Comments()));
    SetUpAreas(slot);
    return true;
}

void ImageDiskDrive::SetUpAreas(DriveSlot& slot) {
    classIMDfile& reader = *slot.Reader;
    slot.Cylinders = reader.Cylinders();
    slot.Heads = reader.Heads();
    slot.HeaderLength = Number(reader.DiskPreamble());
    std::vector<TrackFormat> formats(static_cast<std::size_t>(reader.Tracks()));
    for (std::int32_t t = 0; t < reader.Tracks(); ++t) {
        const TrackRecord& record = reader.Track(t);
        formats[static_cast<std::size_t>(t)] = {record.Present, record.SectorCount, record.SizeCode,
                                                record.Mode};
    }
    const AreaSplit split = SplitAreas(formats);
    slot.MultiArea = split.changes > 0 ? 1 : 0;
    slot.Area1Tracks = split.area1Tracks;
    slot.Area2Tracks = split.area2Tracks;
    for (const int area : {1, 2, 0})
        TakeArea(slot, area, split.formatTrack[static_cast<std::size_t>(area)]);
    if (split.changes > 2)
        m_prompts.MessageBox("Disk defines more than 3 areas",
                             "Set up first three areas of IMD file");
}

// An area takes the format of its first track; when the file lacks that track, the format of
// the first track of the area that it does hold.
void ImageDiskDrive::TakeArea(DriveSlot& slot, int area, std::int32_t track) {
    classIMDfile& reader = *slot.Reader;
    reader.rqTrack(track);
    const std::size_t a = static_cast<std::size_t>(area);
    const bool valid = track < reader.Tracks();
    slot.SectorsPerTrack[a] = valid ? reader.SPT() : 0;
    slot.SectorSize[a] = valid ? reader.PhySectorSize() : 0;
    slot.TrackPreamble[a] = valid ? Number(reader.TrackPreamble()) : 0;
    slot.RateCode[a] = valid ? reader.TransferRate() : 0;
    slot.Density[a] = valid ? reader.Density() : 0;
}

bool ImageDiskDrive::ReadSector(std::int32_t lsn) {
    ReadFailure failure;
    if (ReadLogical(Slot(ImageDrive), lsn, failure)) return true;
    const std::string text =
        failure.error ? std::to_string(failure.error.number) + " " + failure.error.description
                      : failure.problem;
    m_prompts.MessageBox("Error reading LSN " + std::to_string(lsn), text);
    return false;
}

bool ImageDiskDrive::ReadSector(std::int32_t lsn, std::span<std::uint8_t> buffer) {
    const bool ok = ReadSector(lsn);
    std::memcpy(buffer.data(), m_sector.data(), std::min(buffer.size(), m_sector.size()));
    return ok;
}

bool ImageDiskDrive::ReadLogical(DriveSlot& slot, std::int32_t lsn, ReadFailure& failure) {
    if (!slot.Reader) {
        failure.problem = "No ImageDisk image is open";
        return false;
    }
    const LsnLocation where = MapLSN(slot, lsn);
    if (!where.found) {
        failure.problem = where.problem;
        return false;
    }
    classIMDfile& reader = *slot.Reader;
    reader.rqCylinder(where.cylinder);
    reader.rqHead(where.head);
    // The reader ignores a cylinder or head outside its tables and would keep the last one.
    if (where.track >= reader.Tracks() || reader.rqTrack() != where.track ||
        reader.rqCylinder() != where.cylinder || reader.rqHead() != where.head ||
        !reader.Track(where.track).Present) {
        failure.problem = "The image holds no track at " + Place(where.cylinder, where.head);
        return false;
    }
    switch (reader.PhySectorSize()) {
    case 128:
        if (!ReadPhysical(slot, where.index, m_physical, failure)) return false;
        std::memcpy(m_sector.data(), m_physical.data(), m_physical.size());
        if (!ReadPhysical(slot, where.index + 1, m_physical, failure)) return false;
        std::memcpy(m_sector.data() + m_physical.size(), m_physical.data(), m_physical.size());
        return true;
    case 256:
        return ReadPhysical(slot, where.index, m_sector, failure);
    default:
        failure.problem = "The sectors at " + Place(where.cylinder, where.head) + " hold " +
                          std::to_string(reader.PhySectorSize()) +
                          " bytes; logical sectors are read from 128- or 256-byte sectors";
        return false;
    }
}

bool ImageDiskDrive::ReadPhysical(DriveSlot& slot, std::int32_t index,
                                  std::span<std::uint8_t> target, ReadFailure& failure) {
    classIMDfile& reader = *slot.Reader;
    // Named only when a read fails: this runs for every sector read.
    const auto where = [&] {
        return "Sector " + std::to_string(index) + " at " +
               Place(reader.rqCylinder(), reader.rqHead());
    };
    if (index >= reader.SPT()) {
        failure.problem = where() + " is not in the image";
        return false;
    }
    reader.rqLogSector(index);
    const std::int32_t position = reader.PhySectorOffset();
    if (reader.rqLogSector() != index || position < 0) {
        failure.problem = where() + " is not in the image";
        return false;
    }
    const int type = reader.IMDSectorType();
    if (HoldsData(type)) {
        ImageFile* file = m_files.File(reader.FileNumber());
        if (!file) {
            failure.error = {RunTimeError::BadFileNameOrNumber, "Bad file name or number"};
            return false;
        }
        failure.error = file->Read(position + 1, target);
        return !failure.error;
    }
    if (type > 8) {
        failure.problem = where() + " has the unknown record type " + std::to_string(type);
        return false;
    }
    // Unavailable sectors (fill 0) and compressed sectors: every byte is the fill byte.
    std::fill(target.begin(), target.end(), reader.IMDSectorFill());
    return true;
}

void ImageDiskDrive::CloseDrive(int index) {
    DriveSlot& slot = Slot(index);
    m_files.Close(index);
    slot = DriveSlot{};
    m_caption = m_programTitle;
}

std::unique_ptr<ImageDiskDrive> OpenImageDiskDrive(const std::string& path, Prompts& prompts,
                                                   const std::string& programTitle,
                                                   const std::string& errorSource) {
    auto drive = std::make_unique<ImageDiskDrive>(prompts, programTitle);
    const std::string fileTitle = std::filesystem::path(path).filename().string();
    const ImageDiskDrive::OpenResult result = drive->OpenImage(path, fileTitle);
    if (result.openError) prompts.MessageBox("Error", ErrorReport(result.openError, errorSource));
    if (!result.accepted) return nullptr;
    return drive;
}
