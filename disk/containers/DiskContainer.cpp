#include "DiskContainer.h"

#include "FlatDisk.h"
#include "ImageDiskModel.h"
#include "ImageDiskRewrite.h"
#include "WholeFile.h"

#include <unistd.h>

namespace {

std::string NotA(const ContainerType& type, const std::string& problem) {
    const char first = type.title.empty() ? 'x' : type.title[0];
    const bool vowel = std::string("AEIOUaeiou").find(first) != std::string::npos;
    return std::string("not ") + (vowel ? "an " : "a ") + type.title + " image: " + problem;
}

class RawContainer : public DiskContainer {
  public:
    RawContainer(ContainerType type, std::string path)
        : DiskContainer(std::move(type), std::move(path)) {}
    HostError Open() { return m_bytes.Open(Path()); }

    DiskBytes& Flat() override { return m_bytes; }
    SectorSource& Logical() override { return m_logical; }
    std::string LogicalProblem() const override {
        return "The sector lies beyond the end of the image";
    }
    std::vector<DamagedRange> LogicalDamage() const override { return {}; }
    Writability CanWrite() const override {
        if (access(Path().c_str(), W_OK) != 0)
            return {WriteBackKind::None, "the image file may not be written"};
        return {WriteBackKind::InPlace, ""};
    }
    WriteBack WriteBackChanges() override {
        WriteBack result;
        const Writability writability = CanWrite();
        result.ok = writability.Writable();
        result.problem = writability.reason;
        if (result.ok) result.patches = m_bytes.Changes();
        return result;
    }

  private:
    RawFileBytes m_bytes;
    BytesAsSectors m_logical{m_bytes, LogicalDisk::LogicalSectorSize};
};

// A disk of tracks in memory, from ImageDisk or libdsk.
class TrackContainer : public DiskContainer {
  public:
    TrackContainer(ContainerType type, std::string path, PhysicalDisk disk, std::string comment,
                   std::vector<std::uint8_t> original, std::string originalProblem)
        : DiskContainer(std::move(type), std::move(path)), m_disk(std::move(disk)),
          m_comment(std::move(comment)), m_original(std::move(original)),
          m_originalProblem(std::move(originalProblem)) {}

    const std::string& Comment() const override { return m_comment; }
    const PhysicalDisk* Disk() const override { return &m_disk; }
    DiskBytes& Flat() override { return m_flat; }
    SectorSource& Logical() override { return m_logical; }
    std::string LogicalProblem() const override { return m_logical.LastProblem(); }
    std::vector<DamagedRange> LogicalDamage() const override { return m_logical.Damage(); }

    WriteBack WriteBackChanges() override {
        WriteBack result;
        const Writability writability = CanWrite();
        std::vector<std::uint8_t> now;
        std::string problem;
        if (!writability.Writable())
            result.problem = writability.reason;
        else if (!ReadWholeFile(Path(), now, problem) || now != m_original)
            result.problem = "the image file changed since it was read";
        else
            result = Rewrite();
        return result;
    }

  protected:
    virtual WriteBack Rewrite() = 0;
    // Why the file cannot be written back before its format is asked.
    std::string FileReason() const {
        if (!m_originalProblem.empty()) return m_originalProblem;
        if (access(Path().c_str(), W_OK) != 0) return "the image file may not be written";
        return "";
    }

    PhysicalDisk m_disk;
    std::string m_comment;
    std::vector<std::uint8_t> m_original;
    std::string m_originalProblem; // why the file's bytes are not at hand
    FlatDisk m_flat{m_disk};
    LogicalDisk m_logical{m_disk};
};

class ImageDiskContainer : public TrackContainer {
  public:
    ImageDiskContainer(ContainerType type, std::string path, ImageDiskModel model,
                       std::vector<std::uint8_t> original, std::string originalProblem)
        : TrackContainer(std::move(type), std::move(path), std::move(model.disk),
                         std::move(model.comment), std::move(original),
                         std::move(originalProblem)) {
        m_writability = {WriteBackKind::Rewrite, FileReason()};
        if (m_writability.reason.empty()) {
            const ImageDiskRewrite same = RewriteImageDisk(m_original, m_disk);
            if (!same.ok)
                m_writability.reason = same.problem;
            else if (same.bytes != m_original)
                m_writability.reason = "rewriting would not give the same file";
        }
        if (!m_writability.reason.empty()) m_writability.kind = WriteBackKind::None;
    }
    Writability CanWrite() const override { return m_writability; }

  private:
    WriteBack Rewrite() override {
        WriteBack result;
        ImageDiskRewrite rewrite = RewriteImageDisk(m_original, m_disk);
        result.ok = rewrite.ok;
        result.problem = rewrite.problem;
        result.image = std::move(rewrite.bytes);
        return result;
    }

    Writability m_writability;
};

class LibdskContainer : public TrackContainer {
  public:
    LibdskContainer(ContainerType type, std::string path, StreamedDisk read,
                    std::vector<std::uint8_t> original, LibdskOptions options)
        : TrackContainer(std::move(type), std::move(path), std::move(read.disk),
                         std::move(read.comment), std::move(original), ""),
          m_options(std::move(options)) {
        m_options.childForTests = nullptr;
    }
    Writability CanWrite() const override {
        std::size_t damaged = 0;
        for (const PhysicalTrack& track : m_disk.Tracks())
            for (const PhysicalSector& sector : track.sectors)
                damaged += sector.Damaged() ? 1 : 0;
        std::string reason = FileReason();
        if (reason.empty() && damaged > 0)
            reason = std::to_string(damaged) +
                     " sectors could not be read, and libdsk rewriting the image could lose them";
        if (!reason.empty()) return {WriteBackKind::None, reason};
        return {WriteBackKind::Rewrite, ""};
    }

  private:
    WriteBack Rewrite() override {
        WriteBack result;
        LibdskWrite write =
            WriteWithLibdsk(m_original, Path(), Type().name, m_disk, m_comment, m_options);
        result.ok = write.ok;
        result.problem = write.problem;
        result.image = std::move(write.image);
        return result;
    }

    LibdskOptions m_options;
};

} // namespace

OpenedContainer OpenContainer(const std::string& path, const ContainerOptions& options) {
    OpenedContainer opened;
    ImageFile file;
    if (HostError error = file.Open(path)) {
        opened.error = error.description;
        return opened;
    }
    ContainerType type;
    if (!options.type.empty()) {
        const std::optional<ContainerType> named = FindContainerType(options.type, opened.error);
        if (!named) return opened;
        type = *named;
    } else {
        std::vector<std::uint8_t> start(
            static_cast<std::size_t>(std::min<std::int64_t>(file.Length(), DetectionBytes)));
        if (HostError error = file.Read(1, start)) {
            opened.error = error.description;
            return opened;
        }
        type = DetectContainer({start, file.Length(), path});
    }
    file.Close();
    switch (type.family) {
    case ContainerFamily::Raw: {
        auto raw = std::make_unique<RawContainer>(type, path);
        if (HostError error = raw->Open())
            opened.error = error.description;
        else
            opened.container = std::move(raw);
        break;
    }
    case ContainerFamily::ImageDisk: {
        ImageDiskModel model = ReadImageDiskModel(path);
        std::vector<std::uint8_t> original;
        std::string problem;
        // Kept to write the file back; a file too large for that is still read.
        if (!ReadWholeFile(path, original, problem)) original.clear();
        if (!model.isImageDisk || !model.problem.empty())
            opened.error = NotA(type, model.problem);
        else
            opened.container = std::make_unique<ImageDiskContainer>(type, path, std::move(model),
                                                                    std::move(original), problem);
        break;
    }
    case ContainerFamily::Libdsk: {
        std::vector<std::uint8_t> original;
        std::string problem;
        if (!ReadWholeFile(path, original, problem)) {
            opened.error = NotA(type, problem);
            break;
        }
        LibdskRead read = ReadWithLibdsk(original, path, type.name, options.libdsk);
        if (!read.ok)
            opened.error = NotA(type, read.problem);
        else
            opened.container = std::make_unique<LibdskContainer>(
                type, path, std::move(read.disk), std::move(original), options.libdsk);
        break;
    }
    }
    return opened;
}
