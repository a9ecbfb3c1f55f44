// Tamarin's commands on System V/68 volumes: the same reports the window shows, on standard
// output. PATH is an absolute path inside the volume or "#N" for inode N.
#pragma once

#include "TamarinSession.h"
#include "cli/ProgramMain.h"

void AddTamarinCommands(CLI::App& app, CommandContext& context, ImageOpener opener);
