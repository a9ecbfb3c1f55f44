// The System V/68 commands of Tamarin: the same reports the window shows, on standard
// output. PATH is an absolute path inside the volume or "#N" for inode N.
#pragma once

#include "TamarinSession.h"
#include "cli/ProgramMain.h"

void AddSystemV68Commands(CLI::App& app, CommandContext& context,
                          std::shared_ptr<ImageOpener> opener);
