#include "cli/IdentifyCommand.h"
#include "cli/ProgramMain.h"
#include "cli/SuiteProbes.h"
#include "cli/TamarinCommands.h"
#include "cli/WindowModule.h"

int main(int argc, char** argv) {
    const ProgramInfo program{
        "tamarin", "Tamarin",
        "Explore System V/68 disks in ImageDisk (.imd) files, raw dumps and disk containers"};
    InstallOpenWithFinder("Tamarin");
    const auto commands = [](CLI::App& app, CommandContext& context) {
        AddTamarinCommands(app, context);
        AddIdentifyCommand(app, context, SuiteProbes());
    };
    return RunProgram(argc, argv, program, commands, WindowModule("tamarin"));
}
