// The test classes of Quarry's window, run one after the other by main.
#pragma once

#include <QObject>

class DataTracksTest : public QObject {
    Q_OBJECT
  private slots:
    void startsWithItsDefaults();
    void opensEachFormatBySize();
    void dropAddsFilesAndRefusesWhatCannotGo();
    void fileCommandsOnTheSelectedFile();
    void typeStopsOnAbortAndTheWindowWaits();
    void directoryListingsAndTools();
};

class SystemTracksTest : public QObject {
    Q_OBJECT
  private slots:
    void rowsAddSelectAndRemove();
    void rowColoursForPiecesAndLocations();
    void imagePartMenuFollowsTheFormat();
    void insertAllWritesTheSystemArea();
};

class ImageFilesTest : public QObject {
    Q_OBJECT
  private slots:
    void createsASmallImageAndOpensIt();
    void cancelStopsALargeCreation();
    void fillImageAsksFirst();
    void settingsWrittenAndRestored();
    void sampleImageOpensCleanly();
};
