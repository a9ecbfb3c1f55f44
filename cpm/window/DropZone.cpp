#include "DropZone.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace {

QStringList LocalPaths(const QMimeData* data) {
    QStringList paths;
    if (!data->hasUrls()) return paths;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile()) paths << url.toLocalFile();
    return paths;
}

} // namespace

DropZone::DropZone(QWidget* parent) : QLabel("Drop Files Here", parent) {
    setObjectName("picDropZone");
    setAlignment(Qt::AlignCenter);
    setFrameShape(QFrame::Box);
    setFrameShadow(QFrame::Sunken);
    setLineWidth(2);
    setMinimumSize(160, 90);
    setAcceptDrops(true);
    setAutoFillBackground(true);
    Highlight(false);
}

void DropZone::Highlight(bool on) {
    QPalette p = palette();
    p.setColor(QPalette::Window, on ? QColor(0xCC, 0xE8, 0xFF) : QColor(0xF4, 0xF4, 0xF4));
    setPalette(p);
}

void DropZone::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls() || event->mimeData()->hasText()) {
        event->acceptProposedAction();
        Highlight(true);
    }
}

void DropZone::dragMoveEvent(QDragMoveEvent* event) {
    event->acceptProposedAction();
}

void DropZone::dragLeaveEvent(QDragLeaveEvent* /*event*/) {
    Highlight(false);
}

void DropZone::dropEvent(QDropEvent* event) {
    Highlight(false);
    // File managers offer the file list as text as well: the list wins, and only a drop that
    // carries no local file counts as text.
    const QStringList paths = LocalPaths(event->mimeData());
    event->acceptProposedAction();
    emit FilesDropped(paths, paths.isEmpty());
}
