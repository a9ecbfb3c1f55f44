#include "cli/IdentifyCommand.h"
#include "cli/OspreyCommands.h"
#include "cli/ProgramMain.h"
#include "cli/SuiteProbes.h"
#include "cli/WindowModule.h"

int main(int argc, char** argv) {
    const ProgramInfo program{
        "osprey", "Osprey", "Explore FAT12/FAT16 volumes in flat disk images and disk containers"};
    InstallOpenWithFinder("Osprey");
    const auto commands = [](CLI::App& app, CommandContext& context) {
        AddOspreyCommands(app, context);
        AddIdentifyCommand(app, context, SuiteProbes());
    };
    return RunProgram(argc, argv, program, commands, WindowModule("osprey"));
}
