#include "cli/ProgramMain.h"
#include "window/formTamarin.h"

#include <QApplication>

int main(int argc, char** argv) {
    const ProgramInfo program{"tamarin", "Tamarin",
                              "Explore System V/68 disks in ImageDisk (.imd) files"};
    return RunProgram(
        argc, argv, program, [](CLI::App&, CommandContext&) {},
        [](int& argc, char** argv, const std::string& /*image*/) {
            QApplication app(argc, argv);
            QApplication::setApplicationName("Tamarin");
            formTamarin window;
            window.show();
            return app.exec();
        });
}
