#include "Identify.h"

Identification IdentifyImage(const std::string& path, std::span<const FileSystemProbe> probes,
                             const ContainerOptions& options) {
    Identification id;
    id.path = path;
    OpenedContainer opened = OpenContainer(path, options);
    if (!opened.container) {
        id.problem = opened.error.empty() ? "cannot be read" : opened.error;
        return id;
    }
    DiskContainer& disk = *opened.container;
    id.read = true;
    id.container = disk.Type().title;
    id.containerName = disk.Type().name;
    DiskBytes& flat = disk.Flat();
    id.size = flat.Size();

    const std::vector<DamagedRange> damage = flat.Damage();
    id.damagedSectors = static_cast<std::int64_t>(damage.size());
    if (!damage.empty()) {
        const DamagedRange& first = damage.front();
        id.damage = std::to_string(damage.size()) + (damage.size() == 1 ? " sector" : " sectors") +
                    " not readable, the first at cylinder " + std::to_string(first.cylinder) +
                    " head " + std::to_string(first.head) + " sector " +
                    std::to_string(first.sector) + " (" + StatusText(first.status) + ")";
    }

    // A sector the container holds no good data for is unreadable to the probes too: the fill
    // bytes kept in its place would otherwise pass for a directory or a table.
    DiskSample sample{disk.Logical(), id.size,
                      [&flat, &damage](std::int64_t position, std::span<std::uint8_t> target) {
                          const std::int64_t end = position + std::ssize(target);
                          for (const DamagedRange& d : damage)
                              if (d.start < end && position < d.start + d.length) return false;
                          return flat.Read(position, target);
                      }};
    for (const FileSystemProbe& probe : probes) {
        std::optional<ProbeFinding> finding = probe(sample);
        if (finding) {
            id.found = std::move(finding);
            break;
        }
    }
    if (id.found && !id.found->damage.empty() && id.damage.empty()) id.damage = id.found->damage;
    return id;
}

std::string FileSystemText(const Identification& id) {
    if (!id.found) return "unknown";
    return id.found->fileSystem + (id.found->detail.empty() ? "" : " (" + id.found->detail + ")");
}

std::string IdentifyLine(const Identification& id) {
    if (!id.read) return id.path + ": not read: " + id.problem;
    std::string line = id.path + ": " + id.container + ", " + FileSystemText(id);
    if (id.found)
        line +=
            id.found->program.empty() ? ", opened by none of the suite" : ", " + id.found->program;
    if (!id.damage.empty()) line += ", damaged: " + id.damage;
    return line;
}

std::string OpenWithText(const ProbeFinding& found, const std::string& refusingProgram) {
    if (found.program.empty() || found.program == refusingProgram) return {};
    const bool image = found.fileSystem == "CP/M";
    return "This is a " + found.fileSystem + (image ? " image" : " volume") +
           (found.detail.empty() ? "" : " (" + found.detail + ")") + ": open it with " +
           found.program;
}
