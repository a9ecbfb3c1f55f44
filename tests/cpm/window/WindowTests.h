// The tests of Quarry's window, one slot each; test_DataTracks.cpp, test_SystemTracks.cpp and
// test_ImageFiles.cpp hold them.
#pragma once

#include <QObject>

class QuarryWindowTests : public QObject {
    Q_OBJECT
  private slots:
    // The "Data Tracks" side.
    void startsWithItsDefaults();
    void opensEachFormatBySize();
    void dropAddsFilesAndRefusesWhatCannotGo();
    void fileCommandsOnTheSelectedFile();
    void typeStopsOnAbortAndTheWindowWaits();
    void directoryListingsAndTools();
    // The "System Tracks" tab.
    void rowsAddSelectAndRemove();
    void rowColoursForPiecesAndLocations();
    void imagePartMenuFollowsTheFormat();
    void insertAllWritesTheSystemArea();
    // New images, Fill Image, settings.
    void createsASmallImageAndOpensIt();
    void cancelStopsALargeCreation();
    void fillImageAsksFirst();
    void settingsWrittenAndRestored();
    void sampleImageOpensCleanly();
};
