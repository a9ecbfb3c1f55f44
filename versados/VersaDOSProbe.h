// Whether a disk holds a VersaDOS volume: sector 0 with the Motorola magic and a configuration
// area that describes 256-byte sectors and a known medium.
#pragma once

#include "FileSystemProbe.h"

std::optional<ProbeFinding> ProbeVersaDOS(DiskSample& disk);
