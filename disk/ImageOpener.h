// The one way the explorers open an image file: a path and the user's choices (a container type
// to use instead of the detected one, a partition offset) give the sectors a file system reads,
// with every message of the open shown through the prompts.
//
// Two views of a disk are offered. The 256-byte logical sectors of VersaDOS and System V/68:
// an ImageDisk file through the ImageDisk drive (its exact messages and comment box), a raw
// sector dump as 256-byte sectors one after another (as EXORmacs and VME hard disks are kept),
// and a disk of tracks in any other container as the drive would lay it out. And the 512-byte
// sectors of FAT: a flat image or a block device through the raw drive, a disk of tracks in
// any container through its flat view (tracks in cylinder-then-head order, sectors by number);
// both from the partition offset on.
//
// Use: ImageOpener opener(SectorView::Logical256, "VersaDOS File System", "Kestrel");
//      opener.Choices().container = "tele";   // what --container or the window chose
//      std::unique_ptr<OpenedImage> image = opener.Open(path, prompts);   // nullptr: refused
#pragma once

#include "ContainerTypes.h"
#include "SectorSource.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class DiskContainer;
class DisplaySink;
class ImageDiskDrive;
class Prompts;
class RawDrive;

// What the user chose for the next open.
struct OpenChoices {
    std::string container;            // a container type name ("raw", "imd", "tele"); "" detects
    std::int64_t partitionOffset = 0; // where the volume starts (512-byte sector views only)
    bool readOnly = false; // open without writing (Quarry, the one program that writes; the
                           // others never write and ignore it)
};

// An open image: the sectors a file system reads and what they come from. It counts the reads
// that failed, so that a report made meanwhile is known to have gaps.
class OpenedImage : public SectorSource {
  public:
    // Sectors from elsewhere (memory, for tests); fileTitle names the image in reports.
    explicit OpenedImage(std::unique_ptr<SectorSource> sectors, std::string fileTitle = {});
    // Sectors that stay owned by the caller, who keeps them alive while the image is open.
    static std::unique_ptr<OpenedImage> Borrowing(SectorSource& sectors, std::string fileTitle);
    ~OpenedImage() override;

    int SectorSize() const override { return m_sectors->SectorSize(); }
    bool ReadSector(std::int32_t lsn, std::span<std::uint8_t> buffer) override;
    bool ReadSectors(std::int32_t lsn, std::int32_t count, std::span<std::uint8_t> buffer) override;

    const std::string& FileTitle() const { return m_fileTitle; }
    // The host path it was opened from; "" for sectors from elsewhere.
    const std::string& Path() const { return m_path; }
    // The container's type name ("imd", "raw", "tele"); "" for sectors from elsewhere.
    const std::string& TypeName() const { return m_typeName; }
    // What the sectors come from: one of these, or none for sectors from elsewhere.
    ImageDiskDrive* Drive() const { return m_drive.get(); }
    RawDrive* Raw() const { return m_raw.get(); }
    DiskContainer* Container() const { return m_container.get(); }
    // The bytes of the disk from the partition offset on (-1 when unknown).
    std::int64_t AvailableBytes() const { return m_available; }
    std::int64_t FailedReads() const { return m_failed; }

  private:
    friend class ImageOpener;
    OpenedImage() = default;
    bool Counted(bool read, std::int32_t lsn);

    std::string m_path;
    std::unique_ptr<ImageDiskDrive> m_drive;
    std::unique_ptr<RawDrive> m_raw;
    std::unique_ptr<DiskContainer> m_container;
    std::unique_ptr<SectorSource> m_own;
    SectorSource* m_sectors = nullptr;
    Prompts* m_prompts = nullptr; // says why a logical sector of a container could not be read
    std::string m_fileTitle;
    std::string m_typeName;
    std::int64_t m_available = -1;
    std::int64_t m_failed = 0;
};

enum class SectorView { Logical256, Bytes512 };

class ImageOpener {
  public:
    // programTitle is the window's bare caption ("VersaDOS File System"); errorSource names the
    // program in host error reports ("Kestrel").
    ImageOpener(SectorView view, std::string programTitle, std::string errorSource);
    virtual ~ImageOpener() = default;

    OpenChoices& Choices() { return m_choices; }
    const OpenChoices& Choices() const { return m_choices; }
    SectorView View() const { return m_view; }

    // The image at path, or nullptr when it cannot be used (the reason has been shown).
    std::unique_ptr<OpenedImage> Open(const std::string& path, Prompts& prompts) const {
        return Open(path, m_choices, prompts);
    }
    // The same with other choices (Osprey's session keeps the partition offset). Tests override
    // it to open images from memory.
    virtual std::unique_ptr<OpenedImage> Open(const std::string& path, const OpenChoices& choices,
                                              Prompts& prompts) const;

  private:
    std::unique_ptr<OpenedImage> OpenImageDisk(const std::string& path, Prompts& prompts) const;
    std::unique_ptr<OpenedImage> OpenRawDrive(const std::string& path, std::int64_t offset,
                                              Prompts& prompts) const;
    std::unique_ptr<OpenedImage> OpenContainer(const std::string& path, const std::string& type,
                                               std::int64_t offset, Prompts& prompts) const;

    SectorView m_view;
    std::string m_programTitle;
    std::string m_errorSource;
    OpenChoices m_choices;
};

// The names --container and the window's "Container type" menu offer.
std::vector<std::string> ContainerTypeNames();
// The usage text of a bad --container name: the name and every type.
std::string ContainerUsage(const std::string& name);

// "Image info" of an open image: the ImageDisk summary of an ImageDisk file; for another
// container its type, geometry, comment and damaged sector count.
void ImageSummaryOf(const SectorSource& image, DisplaySink& sink);
