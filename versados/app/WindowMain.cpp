// Kestrel's window, built as the module kestrel-window.so that the program loads when the
// window opens.
#include "ImageOpener.h"
#include "cli/SuiteProbes.h"
#include "cli/WindowModule.h"
#include "window/formKestrel.h"

extern "C" int SuiteWindowMain(int* argc, char** argv, const char* image) {
    InstallOpenWithFinder("Kestrel");
    return ExplorerWindow::Run(argc, argv, image, "Kestrel", [] {
        return std::make_unique<formKestrel>(
            std::make_shared<ImageOpener>(KestrelImageOpener()),
            [](SectorSource& disk, DisplaySink& sink) { ImageSummaryOf(disk, sink); });
    });
}
