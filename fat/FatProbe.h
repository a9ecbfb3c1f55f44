// Whether a disk holds a FAT12 or FAT16 volume: at its start (a floppy, a partition dump) or
// in one of the primary partitions of a master boot record. The boot sector must end in the
// signature and carry a parameter block of sane values; the FAT type follows from the cluster
// count as the explorer decides it.
#pragma once

#include "FileSystemProbe.h"

std::optional<ProbeFinding> ProbeFat(DiskSample& disk);
