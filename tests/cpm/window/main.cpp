#include "WindowTests.h"

#include <QApplication>
#include <QtTest>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("QuarryTest");
    int failed = 0;
    DataTracksTest data;
    failed += QTest::qExec(&data, argc, argv);
    SystemTracksTest system;
    failed += QTest::qExec(&system, argc, argv);
    ImageFilesTest images;
    failed += QTest::qExec(&images, argc, argv);
    return failed == 0 ? 0 : 1;
}
