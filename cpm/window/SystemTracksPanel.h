// The "System Tracks" tab: rows of host binaries (boot record, CCP, BDOS, BIOS, ...) to be copied
// into the system area of the image, each with its location, first sector and sectors reserved,
// checked against the data area of the current format as they are typed. The "Image Part" menu
// proposes the position of each piece of the format's system area.
#pragma once

#include "DiskFormat.h"
#include "SystemTracks.h"

#include <QWidget>

#include <vector>

class QGridLayout;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class Prompts;
class DisplaySink;
class QuarrySession;
class modFile;

class SystemTracksPanel : public QWidget {
    Q_OBJECT
  public:
    SystemTracksPanel(QuarrySession& session, modFile& files, DisplaySink& out,
                      QWidget* parent = nullptr);

    SystemTracks& Tracks() { return m_tracks; }
    QMenu* ImagePartMenu() const { return mnuImagePart; }
    // Offers "Magic" and "Dcm" only where the current format has those pieces.
    void UpdateImagePartMenu();
    // Checks every row again (the data area moved with the format).
    void ValidateAll();

  public slots:
    void cmdAddFile_Click();
    void cmdRemoveFile_Click();
    void cmdRefresh_Click();
    void cmdInsertIntoImage_Click();
    void mnuImagePart_Click(PieceKind piece);

  signals:
    // The image was written by an insertion: its size is read again.
    void ImageWritten();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct RowControls {
        QLineEdit* txtFileName;
        QLabel* lblFileSize;
        QLineEdit* txtFileLocation;
        QLineEdit* txtSectorNo;
        QLineEdit* txtNumberOfSectors;
    };
    void AddRowControls(int row);
    void RefreshRow(int row);
    void ValidateRow(int row);
    void PaintNames();
    void SelectRow(int row);
    void txtFileName_DblClick(int row);
    void txtFileLocation_Change(int row);
    void txtSectorNo_Change(int row);
    void txtNumberOfSectors_Change(int row);
    InsertionRow& Row(int row) { return m_tracks.Rows()[static_cast<std::size_t>(row)]; }

    QuarrySession& m_session;
    modFile& m_files;
    DisplaySink& m_out; // where a refresh before an insertion shows the image
    SystemTracks m_tracks;
    std::vector<RowControls> m_controls;
    bool m_updating = false;

    QGridLayout* m_grid = nullptr;
    QPushButton* cmdAddFile = nullptr;
    QPushButton* cmdRemoveFile = nullptr;
    QPushButton* cmdRefresh = nullptr;
    QPushButton* cmdInsertIntoImage = nullptr;
    QMenu* mnuImagePart = nullptr;
    QAction* m_pieceActions[PieceCount] = {};
};
