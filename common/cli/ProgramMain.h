// The start of every program. No arguments, or one argument naming an existing file: the window
// opens (on that image). Anything else is a command, run headless with CLI11: its report goes
// to standard output, message boxes to standard error. Exit status 0 success, 1 failure or
// refused image, 2 bad usage.
#pragma once

#include "BusyPointer.h"
#include "EventHook.h"
#include "SettingsStore.h"
#include "cli/ConsolePrompts.h"
#include "cli/ConsoleSink.h"

#include <CLI/CLI.hpp>

#include <functional>
#include <string>

struct ProgramInfo {
    std::string name;    // "kestrel"
    std::string title;   // "Kestrel": the settings store's application name
    std::string summary; // one line for --help
};

// What a command works with: the same interfaces the window gives the core.
struct CommandContext {
    ConsoleSink& out;
    ConsolePrompts& prompts;
    EventHook& hook;
    BusyPointer& busy;
    SettingsStore& settings;
    const ProgramInfo& program;
};

// Adds the program's subcommands to app. Their callbacks run the command; they throw
// CommandError for a failed action or refused image.
using CommandSetup = std::function<void(CLI::App& app, CommandContext& context)>;
// Opens the window, on image when it is not empty; returns the exit status.
using WindowMain = std::function<int(int& argc, char** argv, const std::string& image)>;

int RunProgram(int argc, char** argv, const ProgramInfo& program, const CommandSetup& setup,
               const WindowMain& window);

// The check of an option or argument that is a number in any form ParseOffset takes: anything
// else is bad usage (exit status 2). Whether the number suits the image is for the command.
CLI::Validator NumberCheck();

// The version line, "kestrel 0.1.0".
std::string VersionLine(const ProgramInfo& program);
