// Kestrel's commands on VersaDOS volumes: the same reports the window shows, on standard output.
#pragma once

#include "KestrelSession.h"
#include "cli/ProgramMain.h"

void AddVersaDOSCommands(CLI::App& app, CommandContext& context,
                         std::shared_ptr<ImageOpener> opener);
