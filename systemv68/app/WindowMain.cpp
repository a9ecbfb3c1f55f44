// Tamarin's window, built as the module tamarin-window.so that the program loads when the
// window opens.
#include "ImageOpener.h"
#include "cli/SuiteProbes.h"
#include "cli/WindowModule.h"
#include "window/formTamarin.h"

extern "C" int SuiteWindowMain(int* argc, char** argv, const char* image) {
    InstallOpenWithFinder("Tamarin");
    return ExplorerWindow::Run(argc, argv, image, "Tamarin", [] {
        return std::make_unique<formTamarin>(
            std::make_shared<ImageOpener>(TamarinImageOpener()),
            [](SectorSource& disk, DisplaySink& sink) { ImageSummaryOf(disk, sink); });
    });
}
