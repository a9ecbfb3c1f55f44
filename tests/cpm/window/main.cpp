#include "WindowTests.h"

#include <QApplication>
#include <QtTest>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("QuarryTest");
    QuarryWindowTests tests;
    return QTest::qExec(&tests, argc, argv) == 0 ? 0 : 1;
}
