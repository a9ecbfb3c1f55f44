#include "ImageOpener.h"

#include "DiskContainer.h"
#include "DisplaySink.h"
#include "ImageDiskDrive.h"
#include "ImageDiskSummary.h"
#include "ImageFile.h"
#include "Prompts.h"
#include "RawDrive.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <sstream>

namespace {

// A view of bytes from an offset on: the volume of a partition inside a whole disk.
class ShiftedBytes : public DiskBytes {
  public:
    ShiftedBytes(DiskBytes& bytes, std::int64_t offset) : m_bytes(bytes), m_offset(offset) {}
    std::int64_t Size() const override {
        return std::max<std::int64_t>(m_bytes.Size() - m_offset, 0);
    }
    bool Read(std::int64_t position, std::span<std::uint8_t> target) override {
        return position >= 0 && m_bytes.Read(position + m_offset, target);
    }
    bool Write(std::int64_t position, std::span<const std::uint8_t> bytes) override {
        return position >= 0 && m_bytes.Write(position + m_offset, bytes);
    }
    std::vector<DamagedRange> Damage() const override {
        std::vector<DamagedRange> damage;
        for (DamagedRange range : m_bytes.Damage()) {
            if (range.start + range.length <= m_offset) continue;
            range.start -= m_offset;
            damage.push_back(range);
        }
        return damage;
    }

  private:
    DiskBytes& m_bytes;
    std::int64_t m_offset;
};

// 512-byte sectors over a flat view from the partition offset on; owns the shifted view.
class FlatSectors : public SectorSource {
  public:
    FlatSectors(DiskBytes& bytes, std::int64_t offset) : m_shifted(bytes, offset) {}
    int SectorSize() const override { return RawDrive::kSectorSize; }
    bool ReadSector(std::int32_t lsn, std::span<std::uint8_t> buffer) override {
        return m_sectors.ReadSector(lsn, buffer);
    }
    bool ReadSectors(std::int32_t lsn, std::int32_t count,
                     std::span<std::uint8_t> buffer) override {
        return m_sectors.ReadSectors(lsn, count, buffer);
    }
    std::int64_t Size() const { return m_shifted.Size(); }

  private:
    ShiftedBytes m_shifted;
    BytesAsSectors m_sectors{m_shifted, RawDrive::kSectorSize};
};

// Sectors owned elsewhere.
class BorrowedSectors : public SectorSource {
  public:
    explicit BorrowedSectors(SectorSource& sectors) : m_sectors(sectors) {}
    int SectorSize() const override { return m_sectors.SectorSize(); }
    bool ReadSector(std::int32_t lsn, std::span<std::uint8_t> buffer) override {
        return m_sectors.ReadSector(lsn, buffer);
    }
    bool ReadSectors(std::int32_t lsn, std::int32_t count,
                     std::span<std::uint8_t> buffer) override {
        return m_sectors.ReadSectors(lsn, count, buffer);
    }

  private:
    SectorSource& m_sectors;
};

std::string FileTitleOf(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

bool IsBlockDevice(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISBLK(info.st_mode);
}

} // namespace

OpenedImage::OpenedImage(std::unique_ptr<SectorSource> sectors, std::string fileTitle)
    : m_own(std::move(sectors)), m_sectors(m_own.get()), m_fileTitle(std::move(fileTitle)) {}

std::unique_ptr<OpenedImage> OpenedImage::Borrowing(SectorSource& sectors, std::string fileTitle) {
    return std::make_unique<OpenedImage>(std::make_unique<BorrowedSectors>(sectors),
                                         std::move(fileTitle));
}

OpenedImage::~OpenedImage() {
    m_own.reset(); // the views go before the container they read
}

bool OpenedImage::Counted(bool read, std::int32_t lsn) {
    if (read) return true;
    ++m_failed;
    // The ImageDisk drive says why itself; the logical view of another container says it here,
    // in the same words.
    if (m_prompts && m_container)
        m_prompts->MessageBox("Error reading LSN " + std::to_string(lsn),
                              m_container->LogicalProblem());
    return false;
}

bool OpenedImage::ReadSector(std::int32_t lsn, std::span<std::uint8_t> buffer) {
    return Counted(m_sectors->ReadSector(lsn, buffer), lsn);
}

bool OpenedImage::ReadSectors(std::int32_t lsn, std::int32_t count,
                              std::span<std::uint8_t> buffer) {
    return Counted(m_sectors->ReadSectors(lsn, count, buffer), lsn);
}

ImageOpener::ImageOpener(SectorView view, std::string programTitle, std::string errorSource)
    : m_view(view), m_programTitle(std::move(programTitle)), m_errorSource(std::move(errorSource)) {
}

std::unique_ptr<OpenedImage> ImageOpener::Open(const std::string& path, const OpenChoices& choices,
                                               Prompts& prompts) const {
    std::string typeName = choices.container;
    if (!typeName.empty()) {
        std::string problem;
        const std::optional<ContainerType> named = FindContainerType(typeName, problem);
        if (!named) {
            prompts.MessageBox("Error", problem);
            return nullptr;
        }
        typeName = named->name;
    } else if (m_view == SectorView::Bytes512 && IsBlockDevice(path)) {
        typeName = "raw"; // a real disk holds its sectors as they are
    } else {
        ImageFile file;
        if (const HostError error = file.Open(path)) {
            prompts.MessageBox("Error", ErrorReport(error, m_errorSource));
            return nullptr;
        }
        std::vector<std::uint8_t> start(
            static_cast<std::size_t>(std::min<std::int64_t>(file.Length(), DetectionBytes)));
        if (const HostError error = file.Read(1, start)) {
            prompts.MessageBox("Error", ErrorReport(error, m_errorSource));
            return nullptr;
        }
        const ContainerType detected = DetectContainer({start, file.Length(), path});
        typeName = detected.name;
        // A file that is neither a container by its content nor a whole number of logical
        // sectors is no disk of these file systems: the ImageDisk drive refuses it as always.
        if (m_view == SectorView::Logical256 && detected.family == ContainerFamily::Raw &&
            (file.Length() == 0 || file.Length() % 256 != 0))
            typeName = "imd";
    }
    if (m_view == SectorView::Logical256 && typeName == "imd") return OpenImageDisk(path, prompts);
    if (m_view == SectorView::Bytes512 && typeName == "raw")
        return OpenRawDrive(path, choices.partitionOffset, prompts);
    return OpenContainer(path, typeName, choices.partitionOffset, prompts);
}

std::unique_ptr<OpenedImage> ImageOpener::OpenImageDisk(const std::string& path,
                                                        Prompts& prompts) const {
    std::unique_ptr<ImageDiskDrive> drive =
        OpenImageDiskDrive(path, prompts, m_programTitle, m_errorSource);
    if (!drive) return nullptr;
    std::unique_ptr<OpenedImage> image(new OpenedImage());
    image->m_sectors = drive.get();
    image->m_drive = std::move(drive);
    image->m_fileTitle = FileTitleOf(path);
    image->m_path = path;
    image->m_typeName = "imd";
    return image;
}

std::unique_ptr<OpenedImage> ImageOpener::OpenRawDrive(const std::string& path, std::int64_t offset,
                                                       Prompts& prompts) const {
    auto raw = std::make_unique<RawDrive>();
    raw->SetPartitionOffset(offset);
    if (const HostError error = raw->OpenDrive(path)) {
        prompts.MessageBox("Error", ErrorReport(error, m_errorSource));
        return nullptr;
    }
    std::unique_ptr<OpenedImage> image(new OpenedImage());
    image->m_available = raw->ImageLength() - offset;
    image->m_fileTitle = raw->Slot().FileTitle;
    image->m_path = path;
    image->m_sectors = raw.get();
    image->m_raw = std::move(raw);
    image->m_typeName = "raw";
    return image;
}

std::unique_ptr<OpenedImage> ImageOpener::OpenContainer(const std::string& path,
                                                        const std::string& type,
                                                        std::int64_t offset,
                                                        Prompts& prompts) const {
    OpenedContainer opened = ::OpenContainer(path, {.type = type, .libdsk = {}});
    if (!opened.container) {
        prompts.MessageBox("Open Image Error", path + ": " + opened.error);
        return nullptr;
    }
    std::unique_ptr<OpenedImage> image(new OpenedImage());
    DiskContainer& container = *opened.container;
    if (m_view == SectorView::Logical256) {
        image->m_sectors = &container.Logical();
        image->m_prompts = &prompts;
    } else {
        auto flat = std::make_unique<FlatSectors>(container.Flat(), offset);
        image->m_available = flat->Size();
        image->m_sectors = flat.get();
        image->m_own = std::move(flat);
    }
    image->m_container = std::move(opened.container);
    image->m_fileTitle = FileTitleOf(path);
    image->m_path = path;
    image->m_typeName = container.Type().name;
    return image;
}

std::vector<std::string> ContainerTypeNames() {
    std::vector<std::string> names;
    for (const ContainerType& type : ContainerTypes())
        names.push_back(type.name);
    return names;
}

std::string ContainerUsage(const std::string& name) {
    std::string text = "--container " + name + " is no container type; the types are:";
    for (const std::string& type : ContainerTypeNames())
        text += " " + type;
    return text;
}

void ImageSummaryOf(const SectorSource& source, DisplaySink& sink) {
    const auto* image = dynamic_cast<const OpenedImage*>(&source);
    if (!image) return ImageDiskSummary(sink, source);
    if (image->Drive()) return ImageDiskSummary(sink, *image->Drive());
    std::ostringstream text;
    text << "Container: " << image->TypeName() << "\n";
    if (const DiskContainer* container = image->Container()) {
        text << "Title: " << container->Type().title << "\n";
        if (const PhysicalDisk* disk = container->Disk()) {
            std::set<int> cylinders;
            std::size_t sectors = 0, damaged = 0;
            for (const PhysicalTrack& track : disk->Tracks()) {
                cylinders.insert(track.cylinder);
                sectors += track.sectors.size();
                for (const PhysicalSector& sector : track.sectors)
                    damaged += sector.Damaged();
            }
            text << "Cylinders: " << cylinders.size() << "\nHeads: " << disk->Heads()
                 << "\nTracks: " << disk->Tracks().size() << "\nSectors: " << sectors
                 << "\nDamaged sectors: " << damaged << "\n";
        } else {
            text << "Bytes: " << const_cast<DiskContainer*>(container)->Flat().Size() << "\n";
        }
        if (!container->Comment().empty()) text << "Comment:\n" << container->Comment() << "\n";
        const Writability write = container->CanWrite();
        if (!write.Writable()) text << "Read-only: " << write.reason << "\n";
    } else if (const RawDrive* raw = image->Raw()) {
        text << "Bytes: " << raw->ImageLength() << "\n";
    }
    sink.Append(text.str());
}
