#include "cli/ProgramMain.h"
#include "cli/QuarryCommands.h"
#include "cli/WindowModule.h"

int main(int argc, char** argv) {
    const ProgramInfo program{"quarry", "Quarry",
                              "Build and maintain flat CP/M disk images of ten formats"};
    return RunProgram(argc, argv, program, AddQuarryCommands, WindowModule("quarry"));
}
