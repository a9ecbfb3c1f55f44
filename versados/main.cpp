#include "cli/KestrelCommands.h"
#include "cli/ProgramMain.h"
#include "ImageDiskSummary.h"
#include "KestrelSession.h"
#include "window/formKestrel.h"

#include <QApplication>

int main(int argc, char** argv) {
    const ProgramInfo program{"kestrel", "Kestrel", "Explore VersaDOS disks in ImageDisk (.imd) files"};
    return RunProgram(
        argc, argv, program, AddKestrelCommands,
        [](int& argc, char** argv, const std::string& image) {
            QApplication app(argc, argv);
            QApplication::setApplicationName("Kestrel");
            formKestrel window(KestrelImageOpener(), [](SectorSource& disk, DisplaySink& sink) {
                ImageDiskSummary(sink, disk);
            });
            window.show();
            if (!image.empty()) window.OpenImage(QString::fromStdString(image));
            return app.exec();
        });
}
