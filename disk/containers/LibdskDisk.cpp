#include "LibdskDisk.h"

#include "WholeFile.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <stddef.h>
#include <unistd.h>

#include <libdsk.h>

namespace {

// The cylinders and heads a floppy may have; libdsk's drivers answer for any position. Beyond
// the cylinders of the driver's geometry the scan ends after a few empty cylinders.
constexpr unsigned ScanCylinders = 256;
constexpr unsigned ScanHeads = 2;
constexpr unsigned EmptyCylindersToEnd = 8;

void Silent(const char*) {}
void SilentEnd() {}

// A child works inside the private folder of its copy: temporary files a driver makes (when it
// unpacks a compressed image) go there and are removed with it.
void StayInside(const std::string& path) {
    dsk_reportfunc_set(Silent, SilentEnd);
    const std::string folder = std::filesystem::path(path).parent_path().string();
    setenv("TMPDIR", folder.c_str(), 1);
    [[maybe_unused]] const int moved = chdir(folder.c_str());
}

std::uint32_t RateOf(dsk_rate_t rate) {
    switch (rate) {
    case RATE_HD:
        return 500;
    case RATE_DD:
        return 300;
    case RATE_SD:
        return 250;
    case RATE_ED:
        return 1000;
    }
    return 0;
}

std::uint8_t SizeCodeOf(std::size_t size) {
    std::uint8_t code = 0;
    while (code < 7 && (128u << code) < size)
        ++code;
    return code;
}

std::string ErrorText(dsk_err_t error) {
    const char* text = dsk_strerror(error);
    std::string s = text ? text : "libdsk error " + std::to_string(error);
    while (!s.empty() && (s.back() == '.' || s.back() == ' '))
        s.pop_back();
    if (!s.empty()) s[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(s[0])));
    return s;
}

SectorStatus StatusOf(dsk_err_t error) {
    if (error == DSK_ERR_OK) return SectorStatus::Good;
    if (error == DSK_ERR_DATAERR) return SectorStatus::DataError;
    return SectorStatus::Unavailable;
}

// One sector by its ID; xread where the driver has it, else pread with the geometry's size set
// to the sector's.
dsk_err_t ReadOne(DSK_PDRIVER driver, DSK_GEOMETRY geometry, unsigned cylinder, unsigned head,
                  const DSK_FORMAT& id, std::uint8_t* buffer, bool& deleted) {
    int del = 0;
    dsk_err_t error = dsk_xread(driver, &geometry, buffer, cylinder, head, id.fmt_cylinder,
                                id.fmt_head, id.fmt_sector, id.fmt_secsize, &del);
    if (error == DSK_ERR_NOTIMPL) {
        geometry.dg_secsize = id.fmt_secsize;
        error = dsk_pread(driver, &geometry, buffer, cylinder, head, id.fmt_sector);
        del = 0;
    }
    deleted = del != 0;
    return error;
}

// The sector IDs of a track: as the driver reports them, or (for drivers that cannot) those the
// geometry gives. Empty when the track is not there.
std::vector<DSK_FORMAT> TrackIds(DSK_PDRIVER driver, const DSK_GEOMETRY& geometry,
                                 unsigned cylinder, unsigned head, bool byGeometry) {
    std::vector<DSK_FORMAT> ids;
    if (byGeometry) {
        for (unsigned s = 0; s < geometry.dg_sectors; ++s)
            ids.push_back({cylinder, head, geometry.dg_secbase + s, geometry.dg_secsize});
        return ids;
    }
    dsk_psect_t count = 0;
    DSK_FORMAT* results = nullptr;
    if (dsk_ptrackids(driver, &geometry, cylinder, head, &count, &results) == DSK_ERR_OK && results)
        ids.assign(results, results + std::min<dsk_psect_t>(count, 255));
    if (results) dsk_free(results);
    return ids;
}

// The geometry a track reads with. Drivers compare the recording mode and data rate of the
// geometry with those of the track: a disk whose track 0 is FM and the rest MFM reads only with
// the right one for each track. The first that finds the track's first sector wins.
DSK_GEOMETRY TrackGeometry(DSK_PDRIVER driver, const DSK_GEOMETRY& base, unsigned cylinder,
                           unsigned head, const DSK_FORMAT& first, std::uint8_t* buffer) {
    bool deleted = false;
    if (ReadOne(driver, base, cylinder, head, first, buffer, deleted) != DSK_ERR_NOADDR)
        return base;
    for (const int fm : {base.dg_fm ^ RECMODE_FM, base.dg_fm})
        for (const dsk_rate_t rate : {RATE_SD, RATE_DD, RATE_HD, RATE_ED}) {
            DSK_GEOMETRY variant = base;
            variant.dg_fm = fm;
            variant.dg_datarate = rate;
            if (ReadOne(driver, variant, cylinder, head, first, buffer, deleted) != DSK_ERR_NOADDR)
                return variant;
        }
    return base;
}

// The child: reads the whole disk and sends it.
int ReadingChild(const std::string& path, const std::string& type, int fd) {
    StayInside(path);
    DiskStreamWriter out(fd);
    DSK_PDRIVER driver = nullptr;
    dsk_err_t error = dsk_open(&driver, path.c_str(), type.c_str(), nullptr);
    if (error != DSK_ERR_OK) {
        out.Refusal(ErrorText(error));
        return out.Flush() ? 0 : 1;
    }
    DSK_GEOMETRY geometry{};
    const dsk_err_t geometryError = dsk_getgeom(driver, &geometry);
    dsk_psect_t count = 0;
    DSK_FORMAT* probe = nullptr;
    const bool byGeometry =
        dsk_ptrackids(driver, &geometry, 0, 0, &count, &probe) == DSK_ERR_NOTIMPL;
    if (probe) dsk_free(probe);
    if (byGeometry && (geometryError != DSK_ERR_OK || geometry.dg_cylinders > ScanCylinders ||
                       geometry.dg_heads > ScanHeads || geometry.dg_sectors > 255 ||
                       geometry.dg_secsize > PhysicalDisk::MaxSectorSize ||
                       geometry.dg_secbase + geometry.dg_sectors > 256)) {
        out.Refusal(geometryError != DSK_ERR_OK
                        ? "libdsk finds no geometry: " + ErrorText(geometryError)
                        : "libdsk gives an impossible geometry");
        dsk_close(&driver);
        return out.Flush() ? 0 : 1;
    }
    char* comment = nullptr;
    dsk_get_comment(driver, &comment);
    out.DiskHeader(dsk_drvname(driver) ? dsk_drvname(driver) : type, comment ? comment : "");
    const unsigned cylinders = byGeometry ? geometry.dg_cylinders : ScanCylinders;
    const unsigned heads = byGeometry ? geometry.dg_heads : ScanHeads;
    std::vector<std::uint8_t> buffer(PhysicalDisk::MaxSectorSize);
    std::uint64_t total = 0;
    unsigned empty = 0;
    for (unsigned c = 0;
         c < cylinders && (c < geometry.dg_cylinders || empty < EmptyCylindersToEnd); ++c) {
        ++empty;
        for (unsigned h = 0; h < heads; ++h) {
            const std::vector<DSK_FORMAT> ids = TrackIds(driver, geometry, c, h, byGeometry);
            if (ids.empty()) continue;
            empty = 0;
            const DSK_GEOMETRY trackGeometry =
                TrackGeometry(driver, geometry, c, h, ids[0], buffer.data());
            PhysicalTrack track;
            track.cylinder = static_cast<std::uint8_t>(c);
            track.head = static_cast<std::uint8_t>(h);
            track.sizeCode = SizeCodeOf(ids[0].fmt_secsize);
            track.dataRate = RateOf(trackGeometry.dg_datarate);
            track.fm = (trackGeometry.dg_fm & RECMODE_MASK) == RECMODE_FM;
            out.Track(track, ids.size());
            for (const DSK_FORMAT& id : ids) {
                PhysicalSector sector;
                sector.idCylinder = static_cast<std::uint8_t>(id.fmt_cylinder);
                sector.idHead = static_cast<std::uint8_t>(id.fmt_head);
                sector.idSector = static_cast<std::uint8_t>(id.fmt_sector);
                sector.size = static_cast<std::uint32_t>(
                    std::min<std::size_t>(id.fmt_secsize, PhysicalDisk::MaxSectorSize));
                sector.sizeCode = SizeCodeOf(sector.size);
                total += sector.size;
                std::fill_n(buffer.begin(), sector.size, 0);
                bool deleted = false;
                sector.status = total > PhysicalDisk::MaxBytes
                                    ? SectorStatus::Unavailable
                                    : StatusOf(ReadOne(driver, trackGeometry, c, h, id,
                                                       buffer.data(), deleted));
                sector.deleted = deleted;
                out.Sector(sector, buffer);
            }
            if (!out.Flush()) return 1;
        }
    }
    out.End();
    dsk_close(&driver);
    return out.Flush() ? 0 : 1;
}

// The child of a write: writes every changed sector by its ID and closes the image.
int WritingChild(const std::string& path, const std::string& type, const PhysicalDisk& disk,
                 int fd) {
    StayInside(path);
    DiskStreamWriter out(fd);
    DSK_PDRIVER driver = nullptr;
    dsk_err_t error = dsk_open(&driver, path.c_str(), type.c_str(), nullptr);
    DSK_GEOMETRY geometry{};
    if (error == DSK_ERR_OK) dsk_getgeom(driver, &geometry);
    std::vector<std::uint8_t> buffer(PhysicalDisk::MaxSectorSize);
    for (const PhysicalTrack& track : disk.Tracks()) {
        const bool changed = std::any_of(track.sectors.begin(), track.sectors.end(),
                                         [](const PhysicalSector& s) { return s.changed; });
        if (!changed || error != DSK_ERR_OK) continue;
        const PhysicalSector& first = track.sectors.front();
        const DSK_GEOMETRY trackGeometry = TrackGeometry(
            driver, geometry, track.cylinder, track.head,
            {first.idCylinder, first.idHead, first.idSector, first.size}, buffer.data());
        for (const PhysicalSector& sector : track.sectors) {
            if (!sector.changed || error != DSK_ERR_OK) continue;
            const std::span<std::uint8_t> data(buffer.data(), sector.size);
            disk.ReadSector(sector, 0, data);
            error = dsk_xwrite(driver, &trackGeometry, data.data(), track.cylinder, track.head,
                               sector.idCylinder, sector.idHead, sector.idSector, sector.size,
                               sector.deleted ? 1 : 0);
            if (error == DSK_ERR_NOTIMPL) {
                DSK_GEOMETRY sized = trackGeometry;
                sized.dg_secsize = sector.size;
                error = dsk_pwrite(driver, &sized, data.data(), track.cylinder, track.head,
                                   sector.idSector);
            }
        }
    }
    if (driver) {
        const dsk_err_t closed = dsk_close(&driver);
        if (error == DSK_ERR_OK) error = closed;
    }
    out.Refusal(error == DSK_ERR_OK ? "" : ErrorText(error));
    return out.Flush() ? 0 : 1;
}

// The same sectors in the same places with the same bytes and status.
bool SameDisk(const PhysicalDisk& a, const PhysicalDisk& b, std::string& difference) {
    std::vector<std::uint8_t> x, y;
    for (const PhysicalTrack& track : a.Tracks()) {
        const PhysicalTrack* other = b.FindTrack(track.cylinder, track.head);
        const std::string place =
            "cylinder " + std::to_string(track.cylinder) + ", head " + std::to_string(track.head);
        if (!other || other->sectors.size() != track.sectors.size()) {
            difference = "the track at " + place + " changed its sectors";
            return false;
        }
        for (std::size_t s = 0; s < track.sectors.size(); ++s) {
            const PhysicalSector& p = track.sectors[s];
            const PhysicalSector& q = other->sectors[s];
            x.resize(p.size);
            y.resize(q.size);
            a.ReadSector(p, 0, x);
            b.ReadSector(q, 0, y);
            if (p.idSector != q.idSector || p.status != q.status || p.deleted != q.deleted ||
                x != y) {
                difference = "sector " + std::to_string(p.idSector) + " at " + place +
                             " does not read back as written";
                return false;
            }
        }
    }
    if (a.Tracks().size() != b.Tracks().size()) {
        difference = "the disk gained tracks";
        return false;
    }
    return true;
}

} // namespace

std::vector<int> LibdskTrackOrder(const std::string& format) {
    DSK_GEOMETRY geometry{};
    dsk_cchar_t name = nullptr, description = nullptr;
    // libdsk's own formats come first, then those of the libdskrc files; an unknown number ends
    // the list.
    for (int id = 0; id < 4096; ++id) {
        if (dg_stdformat(&geometry, static_cast<dsk_format_t>(id), &name, &description) !=
            DSK_ERR_OK)
            break;
        if (!name || format != name) continue;
        const unsigned heads = std::max<unsigned>(geometry.dg_heads, 1);
        const unsigned tracks = geometry.dg_cylinders * heads;
        std::vector<int> order;
        if (tracks > 65536) return order;
        for (unsigned t = 0; t < tracks; ++t) {
            dsk_pcyl_t cylinder = 0;
            dsk_phead_t head = 0;
            if (dg_lt2pt(&geometry, t, &cylinder, &head) != DSK_ERR_OK || head >= heads ||
                cylinder >= geometry.dg_cylinders)
                return {};
            order.push_back(static_cast<int>(cylinder * heads + head));
        }
        return order;
    }
    return {};
}

LibdskRead ReadWithLibdsk(const std::vector<std::uint8_t>& image, const std::string& fileName,
                          const std::string& type, const LibdskOptions& options) {
    LibdskRead read;
    const ScratchCopy copy(image, fileName);
    if (!copy.Made()) {
        read.problem = copy.Problem();
        return read;
    }
    const std::function<int(int)> body =
        options.childForTests
            ? options.childForTests
            : std::function<int(int)>([&](int fd) { return ReadingChild(copy.Path(), type, fd); });
    // The answer is the sectors' bytes and a few for each: about the image's size, unless the
    // container compresses them.
    ChildLimits limits = options.limits;
    limits.expectedBytes = image.size() + image.size() / 16;
    const ChildOutcome outcome = RunInChild(body, limits);
    if (!outcome.ok) {
        read.problem = "libdsk's reader " + outcome.failure;
        return read;
    }
    std::string problem;
    if (!ParseDiskStream(outcome.bytes, read.disk, problem)) {
        read.problem = problem;
        return read;
    }
    if (read.disk.refused) {
        read.problem = read.disk.refusal;
        return read;
    }
    if (read.disk.disk.Tracks().empty()) {
        read.problem = "libdsk finds no tracks";
        return read;
    }
    read.ok = true;
    return read;
}

LibdskWrite WriteWithLibdsk(const std::vector<std::uint8_t>& original, const std::string& fileName,
                            const std::string& type, const PhysicalDisk& disk,
                            const std::string& comment, const LibdskOptions& options) {
    LibdskWrite result;
    const ScratchCopy copy(original, fileName);
    if (!copy.Made()) {
        result.problem = copy.Problem();
        return result;
    }
    const ChildOutcome outcome = RunInChild(
        [&](int fd) { return WritingChild(copy.Path(), type, disk, fd); }, options.limits);
    StreamedDisk answer;
    std::string problem;
    if (!outcome.ok)
        result.problem = "libdsk's writer " + outcome.failure;
    else if (!ParseDiskStream(outcome.bytes, answer, problem))
        result.problem = problem;
    else if (!answer.refusal.empty())
        result.problem = "libdsk could not write the image: " + answer.refusal;
    std::vector<std::uint8_t> written;
    if (result.problem.empty() && !ReadWholeFile(copy.Path(), written, problem))
        result.problem = "the written image could not be read back: " + problem;
    if (result.problem.empty()) {
        const LibdskRead again = ReadWithLibdsk(written, fileName, type, options);
        std::string difference;
        if (!again.ok)
            result.problem = "the written image cannot be read again: " + again.problem;
        else if (!SameDisk(disk, again.disk.disk, difference))
            result.problem = "libdsk did not write the image faithfully: " + difference;
        else if (again.disk.comment != comment)
            result.problem = "libdsk did not keep the image's comment";
    }
    result.ok = result.problem.empty();
    if (result.ok) result.image = std::move(written);
    return result;
}
