#include "cli/ProgramMain.h"
#include "cli/TamarinCommands.h"
#include "cli/WindowModule.h"

int main(int argc, char** argv) {
    const ProgramInfo program{"tamarin", "Tamarin",
                              "Explore System V/68 disks in ImageDisk (.imd) files"};
    return RunProgram(argc, argv, program, AddTamarinCommands, WindowModule("tamarin"));
}
