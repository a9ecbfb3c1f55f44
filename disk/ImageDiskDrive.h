// The ImageDisk drive of Kestrel and Tamarin: a table of four drive slots (the programs use slot
// 1, and the slot index is also the number of the host file that holds the image), the opening
// of an ImageDisk image into a slot, and reads of 256-byte logical sectors assembled from one
// 256-byte or two 128-byte physical sectors. Images are opened read-only; nothing here writes.
#pragma once

#include "DriveSlot.h"
#include "HostFiles.h"
#include "Prompts.h"
#include "SectorSource.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>

class ImageDiskDrive : public SectorSource {
public:
    static constexpr int DriveCount = 4;
    static constexpr int ImageDrive = 1; // the slot, and file number, every program uses
    static constexpr int LogicalSectorSize = 256;

    // programTitle is the bare window caption ("VersaDOS File System").
    ImageDiskDrive(Prompts& prompts, std::string programTitle);

    // The slot at index 0..3; any other index throws std::out_of_range.
    DriveSlot& Slot(int index);
    const DriveSlot& Slot(int index) const;

    // Opens path read-only as file number 1 into slot 1, closing an open image first, and
    // prepares it with OpenImageDisk. The caption becomes the program title, a blank and the
    // path. Returns the host error when the file cannot be opened (nothing has been shown
    // then: the caller reports it), else whether the image was accepted.
    struct OpenResult {
        bool accepted = false;
        HostError openError;
    };
    OpenResult OpenImage(const std::string& path, const std::string& fileTitle);

    // Reads the image open under the slot's file number: checks the signature, indexes it, shows
    // its comment ("IMD File will Open " + "READ ONLY" or "Read/Write") and sets up the areas.
    // A file that is not an ImageDisk image is refused with "Open IMD Error " / "Not an IMD
    // file"; the file stays open, without a reader.
    bool OpenImageDisk(int slot);

    // Fills the logical sector buffer with logical sector lsn of slot 1. A failure shows the
    // message "Error reading LSN " + lsn and leaves the buffer as the failed read left it.
    bool ReadSector(std::int32_t lsn);
    std::span<const std::uint8_t, LogicalSectorSize> SectorBuffer() const { return m_sector; }

    // Closes the slot's file, releases its reader and resets the caption to the bare title.
    void CloseDrive(int slot);

    // An image is open in slot 1 and was accepted.
    bool HasImage() const { return static_cast<bool>(m_drives[ImageDrive].Reader); }
    const std::string& Caption() const { return m_caption; }
    const std::string& ProgramTitle() const { return m_programTitle; }

    // The file systems read through this.
    int SectorSize() const override { return LogicalSectorSize; }
    bool ReadSector(std::int32_t lsn, std::span<std::uint8_t> buffer) override;

private:
    struct ReadFailure {
        HostError error;
        std::string problem;
    };
    static std::size_t SlotIndex(int index);
    void SetUpAreas(DriveSlot& slot);
    void TakeArea(DriveSlot& slot, int area, std::int32_t firstTrack, std::int32_t tracks);
    bool ReadLogical(DriveSlot& slot, std::int32_t lsn, ReadFailure& failure);
    bool ReadPhysical(DriveSlot& slot, std::int32_t index, std::span<std::uint8_t> target,
                      ReadFailure& failure);

    Prompts& m_prompts;
    std::string m_programTitle;
    std::string m_caption;
    HostFiles m_files;
    std::array<DriveSlot, DriveCount> m_drives;
    std::array<std::uint8_t, 128> m_physical{};
    std::array<std::uint8_t, LogicalSectorSize> m_sector{};
};
