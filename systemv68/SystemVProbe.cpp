#include "SystemVProbe.h"

#include "SystemVSuperBlock.h"
#include "VersaDOSVolume.h"

std::optional<ProbeFinding> ProbeSystemV68(DiskSample& disk) {
    SuperBlockBytes raw{};
    if (disk.logical.SectorSize() != 256 || !disk.logical.ReadSectors(2, 2, raw))
        return std::nullopt;
    const SuperBlock super = DecodeSuperBlock(raw);
    if (super.Magic != SuperBlockMagic) return std::nullopt;
    ProbeFinding found{"System V/68", "", "Tamarin", "", 0};
    const std::string name = Printable(super.FileSystemName);
    if (!name.empty()) found.detail = "file system " + name;
    if (super.FsType != 2)
        found.detail += std::string(found.detail.empty() ? "" : ", ") + "block size code " +
                        std::to_string(super.FsType) + " (only 1024-byte blocks are explored)";
    return found;
}
