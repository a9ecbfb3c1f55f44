// Osprey's window, built as the module osprey-window.so that the program loads when the window
// opens.
#include "cli/SuiteProbes.h"
#include "cli/WindowModule.h"
#include "window/formOsprey.h"

extern "C" int SuiteWindowMain(int* argc, char** argv, const char* image) {
    InstallOpenWithFinder("Osprey");
    return ExplorerWindow::Run(argc, argv, image, "Osprey",
                               [] { return std::make_unique<formOsprey>(); });
}
