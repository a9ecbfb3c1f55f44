// The probes of the four file systems of the suite, in the order they are tried: System V/68
// before VersaDOS (both carry the same sector 0), FAT before CP/M (a 1.44 MB FAT floppy has the
// size of a PC-1440 CP/M image).
#pragma once

#include "FileSystemProbe.h"

#include <string>
#include <vector>

std::vector<FileSystemProbe> SuiteProbes();

// Makes the refusals of program ("Kestrel") name the program of the suite that opens the image.
void InstallOpenWithFinder(const std::string& program);
