// Fuzz target of the container layer. The input is opened as its content says, as raw, as
// ImageDisk and as one of libdsk's types by name (in its child process), and every view is
// read: the flat
// bytes, its 512-byte sectors, the logical sectors and both damage lists; an ImageDisk or raw
// disk is changed and written back in memory. The input is also parsed as the answer a libdsk
// child sends, so that the parent's parser meets every kind of malformed answer. The image file
// must come out unchanged.
//
// With SUITE_FUZZ_CHILD_LOG=FILE, every type whose libdsk child crashed, hung or flooded its
// pipe is logged with a hash of the input, and the input kept as FILE.inputs/HASH, to report
// what libdsk does with hostile images.
#include "DiskContainer.h"
#include "FlatDisk.h"
#include "FuzzSupport.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>

namespace {

// Containers of small floppies fit; larger inputs only slow the search.
constexpr std::size_t MaxInput = 128 * 1024;
// What a view is read of at most: a hostile ImageDisk file describes megabytes in a few bytes.
constexpr std::int64_t MaxViewBytes = 2 << 20;

void ReadViews(DiskBytes& flat, SectorSource& logical, std::int32_t logicalSectors) {
    std::vector<std::uint8_t> chunk(65536 + 7);
    const std::int64_t size = std::min(flat.Size(), MaxViewBytes);
    for (std::int64_t at = -1; at <= size; at += 65536)
        flat.Read(at, chunk);
    flat.Damage();
    BytesAsSectors sectors(flat, 512);
    std::vector<std::uint8_t> run(8 * 512);
    for (std::int32_t lsn = -1; lsn <= size / 512 + 1; lsn += 7)
        sectors.ReadSectors(lsn, 8, run);
    std::vector<std::uint8_t> sector(256);
    for (std::int32_t lsn = -1; lsn <= std::min(logicalSectors, 9000); ++lsn)
        logical.ReadSector(lsn, sector);
}

void Exercise(DiskContainer& container) {
    const std::int32_t count =
        static_cast<std::int32_t>(std::min<std::int64_t>(container.Flat().Size() / 256 + 2, 9000));
    ReadViews(container.Flat(), container.Logical(), count);
    container.LogicalDamage();
    const Writability writability = container.CanWrite();
    if (container.Type().family == ContainerFamily::Libdsk || !writability.Writable()) return;
    const std::uint8_t changed[3] = {0x12, 0x34, 0x56};
    if (container.Flat().Write(container.Flat().Size() / 2, changed)) container.WriteBackChanges();
}

std::string Hash(std::span<const std::uint8_t> bytes) {
    std::uint64_t h = 1469598103934665603ull;
    for (std::uint8_t b : bytes)
        h = (h ^ b) * 1099511628211ull;
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
    return text;
}

void LogChildFailure(const std::string& type, const std::string& error,
                     std::span<const std::uint8_t> input) {
    const char* log = std::getenv("SUITE_FUZZ_CHILD_LOG");
    if (!log || error.find("libdsk's reader") == std::string::npos) return;
    if (std::FILE* file = std::fopen(log, "a")) {
        std::fprintf(file, "%s %s %s\n", Hash(input).c_str(),
                     type.empty() ? "(detected)" : type.c_str(), error.c_str());
        std::fclose(file);
    }
    const std::string folder = std::string(log) + ".inputs";
    std::filesystem::create_directories(folder);
    if (std::FILE* file = std::fopen((folder + "/" + Hash(input)).c_str(), "wb")) {
        std::fwrite(input.data(), 1, input.size(), file);
        std::fclose(file);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    size = std::min(size, MaxInput);
    const std::span<const std::uint8_t> input(data, size);

    StreamedDisk streamed;
    std::string problem;
    if (ParseDiskStream(input, streamed, problem)) {
        FlatDisk flat(streamed.disk);
        LogicalDisk logical(streamed.disk);
        ReadViews(flat, logical, logical.SectorCount());
        logical.Damage();
    }

    // The extension picks which of the types told by their names the detection may find.
    static const char* const names[] = {"image.img", "image.dsk", "image.jv3", "image.cfi"};
    const std::string image = WriteScratchFile(names[size > 0 ? data[0] % 4 : 0], input);
    const FileState before = StateOf(image);
    // Detected, and named as each of our own types and as one libdsk type that the input's last
    // byte picks: a fork per libdsk type would make every input slow, and across the corpus
    // every type is named. The replay in the test suite names every type for every input.
    static const std::vector<ContainerType> all = ContainerTypes();
    std::vector<std::string> types{"", "raw", "imd"};
#ifdef SUITE_FUZZ_REPLAY
    for (std::size_t t = 2; t < all.size(); ++t)
        types.push_back(all[t].name);
#else
    types.push_back(all[2 + (size > 0 ? data[size - 1] % (all.size() - 2) : 0)].name);
#endif
    for (const std::string& type : types) {
        ContainerOptions options;
        options.type = type;
        options.libdsk.limits.timeLimit = std::chrono::milliseconds(2000);
        OpenedContainer opened = OpenContainer(image, options);
        if (opened.container)
            Exercise(*opened.container);
        else
            LogChildFailure(type, opened.error, input);
    }
    RequireUnchanged(image, before, "the container layer");
    return 0;
}
