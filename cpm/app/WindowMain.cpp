// Quarry's window, built as the module quarry-window.so that the program loads when the window
// opens.
#include "cli/SuiteProbes.h"
#include "cli/WindowModule.h"
#include "window/frmQuarry.h"

extern "C" int SuiteWindowMain(int* argc, char** argv, const char* image) {
    InstallOpenWithFinder("Quarry");
    return ExplorerWindow::Run(argc, argv, image, "Quarry",
                               [] { return std::make_unique<frmQuarry>(); });
}
