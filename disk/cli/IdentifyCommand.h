// `PROGRAM identify IMAGE...`: one line per image with its container, the file system found
// and the program of the suite that opens it. Exit status 0 when every image was read.
#pragma once

#include "FileSystemProbe.h"
#include "cli/ProgramMain.h"

#include <vector>

void AddIdentifyCommand(CLI::App& app, CommandContext& context,
                        std::vector<FileSystemProbe> probes);
