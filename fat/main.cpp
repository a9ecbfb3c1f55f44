#include "cli/ProgramMain.h"
#include "window/formOsprey.h"

#include <QApplication>

int main(int argc, char** argv) {
    const ProgramInfo program{"osprey", "Osprey", "Explore FAT12/FAT16 volumes in flat disk images"};
    return RunProgram(
        argc, argv, program, [](CLI::App&, CommandContext&) {},
        [](int& argc, char** argv, const std::string& /*image*/) {
            QApplication app(argc, argv);
            QApplication::setApplicationName("Osprey");
            formOsprey window;
            window.show();
            return app.exec();
        });
}
