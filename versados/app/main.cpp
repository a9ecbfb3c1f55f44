#include "cli/KestrelCommands.h"
#include "cli/ProgramMain.h"
#include "cli/WindowModule.h"

int main(int argc, char** argv) {
    const ProgramInfo program{"kestrel", "Kestrel",
                              "Explore VersaDOS disks in ImageDisk (.imd) files"};
    return RunProgram(argc, argv, program, AddKestrelCommands, WindowModule("kestrel"));
}
