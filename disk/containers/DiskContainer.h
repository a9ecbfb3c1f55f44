// One open disk image of any kind, and the views every program reads it through:
//   Flat()    the whole disk as bytes (tracks in cylinder-then-head order, sectors by number),
//             for FAT in 512-byte sectors and CP/M layouts at byte positions;
//   Logical() 256-byte logical sectors: of a disk of tracks as the ImageDisk drive lays them
//             out, of a raw sector dump one after another (EXORmacs and VME hard disks).
// Both views name the sectors that could not be read in their damage lists. A changed flat
// view can be written back where nothing is lost; CanWrite() says whether, and if not why.
#pragma once

#include "ContainerTypes.h"
#include "DiskBytes.h"
#include "LibdskDisk.h"
#include "LogicalDisk.h"
#include "RawFileBytes.h"

#include <memory>
#include <string>
#include <vector>

struct ContainerOptions {
    std::string type; // a type name to use instead of detecting it ("" detects)
    LibdskOptions libdsk;
};

enum class WriteBackKind {
    None,    // read-only; Writability::reason says why
    InPlace, // the changed bytes go into the image file where they lie (raw dumps)
    Rewrite  // the image file is replaced by new bytes (ImageDisk, libdsk formats)
};

struct Writability {
    WriteBackKind kind = WriteBackKind::None;
    std::string reason; // why the image cannot be written back
    bool Writable() const { return kind != WriteBackKind::None; }
};

struct WriteBack {
    bool ok = false;
    std::string problem;
    std::vector<std::uint8_t> image; // Rewrite: the new image file, to write through OutputFile
    std::vector<BytePatch> patches;  // InPlace: what to write where in the image file
};

class DiskContainer {
  public:
    virtual ~DiskContainer() = default;
    const ContainerType& Type() const { return m_type; }
    const std::string& Path() const { return m_path; }
    // The comment the container keeps (ImageDisk header text, libdsk's comment).
    virtual const std::string& Comment() const { return m_noComment; }
    // The disk of tracks; nullptr for a raw sector dump.
    virtual const PhysicalDisk* Disk() const { return nullptr; }

    virtual DiskBytes& Flat() = 0;
    virtual SectorSource& Logical() = 0;
    // Why the last logical sector read failed, in the words of the ImageDisk drive.
    virtual std::string LogicalProblem() const = 0;
    virtual std::vector<DamagedRange> LogicalDamage() const = 0;

    virtual Writability CanWrite() const = 0;
    // What writing the changed flat view back takes; the caller writes it.
    virtual WriteBack WriteBackChanges() = 0;

  protected:
    DiskContainer(ContainerType type, std::string path)
        : m_type(std::move(type)), m_path(std::move(path)) {}

  private:
    ContainerType m_type;
    std::string m_path;
    std::string m_noComment;
};

struct OpenedContainer {
    std::unique_ptr<DiskContainer> container;
    std::string error; // "not a Teledisk image: ...", or why the file could not be read
};

// Opens path as the type options name, or as the type its content shows.
OpenedContainer OpenContainer(const std::string& path, const ContainerOptions& options = {});
