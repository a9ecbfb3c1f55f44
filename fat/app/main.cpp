#include "cli/OspreyCommands.h"
#include "cli/ProgramMain.h"
#include "cli/WindowModule.h"

int main(int argc, char** argv) {
    const ProgramInfo program{"osprey", "Osprey",
                              "Explore FAT12/FAT16 volumes in flat disk images"};
    return RunProgram(argc, argv, program, AddOspreyCommands, WindowModule("osprey"));
}
