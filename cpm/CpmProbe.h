// Whether a disk is a flat CP/M image: its size is the image size of one of the ten formats and
// every entry of that format's directory is an entry CP/M could have written (a user, password,
// label or time-stamp entry with a name of printable characters and blocks inside the disk, or
// an empty one).
#pragma once

#include "FileSystemProbe.h"

std::optional<ProbeFinding> ProbeCpm(DiskSample& disk);
