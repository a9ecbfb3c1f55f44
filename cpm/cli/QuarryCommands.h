// Quarry's commands: the same core calls as the window's buttons, with the answers to its
// questions given as arguments and options.
#pragma once

#include "cli/ProgramMain.h"

#include <optional>
#include <string>

void AddQuarryCommands(CLI::App& app, CommandContext& context);

// The 15-character name of a CP/M file given as "[U:]NAME.TYP" or "UU:NNNNNNNN.TTT" (any case
// kept), or nothing when the text is no such name.
std::optional<std::string> ParseCpmFileArgument(const std::string& text);
