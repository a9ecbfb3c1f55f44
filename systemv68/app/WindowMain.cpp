// Tamarin's window, built as the module tamarin-window.so that the program loads when the
// window opens.
#include "ImageDiskSummary.h"
#include "TamarinSession.h"
#include "cli/WindowModule.h"
#include "window/formTamarin.h"

#include <QApplication>

extern "C" int SuiteWindowMain(int* argc, char** argv, const char* image) {
    QApplication app(*argc, argv);
    QApplication::setApplicationName("Tamarin");
    formTamarin window(TamarinImageOpener(),
                       [](SectorSource& disk, DisplaySink& sink) { ImageDiskSummary(sink, disk); });
    window.show();
    if (*image) window.OpenImage(QString::fromUtf8(image));
    return app.exec();
}
