// Quarry's window, built as the module quarry-window.so that the program loads when the window
// opens.
#include "cli/WindowModule.h"
#include "window/frmQuarry.h"

#include <QApplication>

extern "C" int SuiteWindowMain(int* argc, char** argv, const char* image) {
    QApplication app(*argc, argv);
    QApplication::setApplicationName("Quarry");
    frmQuarry window;
    window.show();
    if (*image) window.OpenImage(QString::fromUtf8(image));
    return app.exec();
}
