#include "cli/IdentifyCommand.h"
#include "cli/ProgramMain.h"
#include "cli/QuarryCommands.h"
#include "cli/SuiteProbes.h"
#include "cli/WindowModule.h"

#include <csignal>

int main(int argc, char** argv) {
    // A write past the host's file size limit must fail like any other write (and be reported,
    // with nothing half written left behind) instead of killing the program mid-change.
    std::signal(SIGXFSZ, SIG_IGN);
    const ProgramInfo program{
        "quarry", "Quarry",
        "Build and maintain CP/M disk images of every format, flat or in disk containers"};
    InstallOpenWithFinder("Quarry");
    const auto commands = [](CLI::App& app, CommandContext& context) {
        AddQuarryCommands(app, context);
        AddIdentifyCommand(app, context, SuiteProbes());
    };
    return RunProgram(argc, argv, program, commands, WindowModule("quarry"));
}
