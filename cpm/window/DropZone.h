// picDropZone: the box that host files are dragged onto to add them to the image. It hands on the
// dropped paths, or says that the drop held text rather than files.
#pragma once

#include <QLabel>
#include <QStringList>

class DropZone : public QLabel {
    Q_OBJECT
  public:
    explicit DropZone(QWidget* parent = nullptr);

  signals:
    // paths in the order given; plainText: the data was text, not a file list.
    void FilesDropped(const QStringList& paths, bool plainText);

  protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void Highlight(bool on);
};
