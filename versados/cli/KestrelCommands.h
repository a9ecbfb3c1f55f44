// Kestrel's commands (see `kestrel --help`).
#pragma once

#include "cli/ProgramMain.h"

// The window's bare caption; an open image adds a blank and its path.
inline constexpr const char* KestrelTitle = "VersaDOS File System";

void AddKestrelCommands(CLI::App& app, CommandContext& context);
