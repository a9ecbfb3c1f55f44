#include "cli/OspreyCommands.h"
#include "cli/ProgramMain.h"
#include "window/formOsprey.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char** argv) {
    const ProgramInfo program{"osprey", "Osprey",
                              "Explore FAT12/FAT16 volumes in flat disk images"};
    return RunProgram(argc, argv, program, AddOspreyCommands,
                      [](int& argc, char** argv, const std::string& image) {
                          QApplication app(argc, argv);
                          QApplication::setApplicationName("Osprey");
                          formOsprey window;
                          window.show();
                          if (!image.empty())
                              QTimer::singleShot(0, &window,
                                                 [&window, image] { window.OpenImage(image); });
                          return app.exec();
                      });
}
