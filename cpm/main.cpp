#include "cli/ProgramMain.h"
#include "cli/QuarryCommands.h"
#include "window/frmQuarry.h"

#include <QApplication>

int main(int argc, char** argv) {
    const ProgramInfo program{"quarry", "Quarry",
                              "Build and maintain flat CP/M disk images of ten formats"};
    return RunProgram(argc, argv, program, AddQuarryCommands,
                      [](int& argc, char** argv, const std::string& image) {
                          QApplication app(argc, argv);
                          QApplication::setApplicationName("Quarry");
                          frmQuarry window;
                          window.show();
                          if (!image.empty()) window.OpenImage(QString::fromStdString(image));
                          return app.exec();
                      });
}
