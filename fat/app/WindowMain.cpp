// Osprey's window, built as the module osprey-window.so that the program loads when the window
// opens.
#include "cli/WindowModule.h"
#include "window/formOsprey.h"

#include <QApplication>
#include <QTimer>

#include <string>

extern "C" int SuiteWindowMain(int* argc, char** argv, const char* image) {
    QApplication app(*argc, argv);
    QApplication::setApplicationName("Osprey");
    formOsprey window;
    window.show();
    const std::string path = image;
    if (!path.empty()) QTimer::singleShot(0, &window, [&window, path] { window.OpenImage(path); });
    return app.exec();
}
