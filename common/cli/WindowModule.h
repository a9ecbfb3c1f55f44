// Each program's window lives in a module of its own, PROGRAM-window.so, which the program loads
// only when the window opens. A command then starts without the window libraries: loading and
// binding them costs more time than most commands take for their whole work.
#pragma once

#include "cli/ProgramMain.h"

#include <string>

// Opens the window through the module of program: beside the executable (the build tree) or in
// WindowModuleDir below the installation prefix. A module that cannot be loaded gives a message
// on standard error and exit status 1.
WindowMain WindowModule(const std::string& program);

// Every window module defines this entry: it runs the window (on image when it is not empty)
// and returns the exit status.
extern "C" int SuiteWindowMain(int* argc, char** argv, const char* image);
using WindowEntry = int (*)(int* argc, char** argv, const char* image);
