#include "VersaDOSProbe.h"

#include "VersaDOSVolume.h"

std::optional<ProbeFinding> ProbeVersaDOS(DiskSample& disk) {
    VersaDOSVolume volume(disk.logical);
    if (!volume.IsVersaDOSVolume()) return std::nullopt;
    ProbeFinding found{"VersaDOS", "", "Kestrel", "", 0};
    const std::string name = Trim(volume.VID().volumeName);
    if (!name.empty()) found.detail = "volume " + Printable(name);
    return found;
}
