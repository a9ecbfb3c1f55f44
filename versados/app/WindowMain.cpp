// Kestrel's window, built as the module kestrel-window.so that the program loads when the
// window opens.
#include "ImageDiskSummary.h"
#include "KestrelSession.h"
#include "cli/WindowModule.h"
#include "window/formKestrel.h"

#include <QApplication>

extern "C" int SuiteWindowMain(int* argc, char** argv, const char* image) {
    QApplication app(*argc, argv);
    QApplication::setApplicationName("Kestrel");
    formKestrel window(KestrelImageOpener(),
                       [](SectorSource& disk, DisplaySink& sink) { ImageDiskSummary(sink, disk); });
    window.show();
    if (*image) window.OpenImage(QString::fromUtf8(image));
    return app.exec();
}
