#include "ImageDiskSummary.h"
#include "TamarinSession.h"
#include "cli/ProgramMain.h"
#include "cli/TamarinCommands.h"
#include "window/formTamarin.h"

#include <QApplication>

int main(int argc, char** argv) {
    const ProgramInfo program{"tamarin", "Tamarin",
                              "Explore System V/68 disks in ImageDisk (.imd) files"};
    return RunProgram(argc, argv, program, AddTamarinCommands,
                      [](int& argc, char** argv, const std::string& image) {
                          QApplication app(argc, argv);
                          QApplication::setApplicationName("Tamarin");
                          formTamarin window(TamarinImageOpener(),
                                             [](SectorSource& disk, DisplaySink& sink) {
                                                 ImageDiskSummary(sink, disk);
                                             });
                          window.show();
                          if (!image.empty()) window.OpenImage(QString::fromStdString(image));
                          return app.exec();
                      });
}
