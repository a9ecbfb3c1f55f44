// Whether a disk holds a System V/68 file system: the super block at byte 512 (logical sectors
// 2 and 3) carries the System V magic number.
#pragma once

#include "FileSystemProbe.h"

std::optional<ProbeFinding> ProbeSystemV68(DiskSample& disk);
