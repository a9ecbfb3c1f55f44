// Tamarin's commands (see `tamarin --help`).
#pragma once

#include "cli/ProgramMain.h"

// The window's bare caption; an open image adds a blank and its path.
inline constexpr const char* TamarinTitle = "System V/68 File System";

void AddTamarinCommands(CLI::App& app, CommandContext& context);
