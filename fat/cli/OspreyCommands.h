// Osprey's commands: boot, fat, root, ls, show, get, save-all and partitions, each on an image
// at a partition offset (--offset).
#pragma once

#include "cli/ProgramMain.h"

void AddOspreyCommands(CLI::App& app, CommandContext& context);
