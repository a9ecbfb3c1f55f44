#include "cli/IdentifyCommand.h"
#include "cli/KestrelCommands.h"
#include "cli/ProgramMain.h"
#include "cli/SuiteProbes.h"
#include "cli/WindowModule.h"

int main(int argc, char** argv) {
    const ProgramInfo program{
        "kestrel", "Kestrel",
        "Explore VersaDOS disks in ImageDisk (.imd) files, raw dumps and disk containers"};
    InstallOpenWithFinder("Kestrel");
    const auto commands = [](CLI::App& app, CommandContext& context) {
        AddKestrelCommands(app, context);
        AddIdentifyCommand(app, context, SuiteProbes());
    };
    return RunProgram(argc, argv, program, commands, WindowModule("kestrel"));
}
