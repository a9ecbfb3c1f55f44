#include "QuarryWindowTest.h"

#include "DiskFormat.h"
#include "Golden.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>

ByteVector TextBytes(std::size_t size, unsigned seed) {
    ByteVector bytes;
    bytes.reserve(size);
    unsigned line = 0;
    while (bytes.size() < size) {
        const std::string text = "Line " + std::to_string(++line) + " of text " +
                                 std::to_string(seed) + " for the CP/M image\r\n";
        for (char c : text)
            if (bytes.size() < size) bytes.push_back(static_cast<std::uint8_t>(c));
    }
    return bytes;
}

std::string MakeImage(const std::string& folder, const std::string& format, std::uint8_t fill) {
    DiskFormat f;
    f.SetDiskFormat(format);
    const std::string path = folder + "/" + format + ".img";
    WriteFileBytes(path, ByteVector(static_cast<std::size_t>(f.ImageSize), fill));
    return path;
}

void DropFiles(QWidget* target, const QStringList& paths, const QString& text) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls << QUrl::fromLocalFile(path);
    if (!urls.isEmpty()) data.setUrls(urls);
    if (!text.isEmpty()) data.setText(text);
    const QPoint at(5, 5);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
}

WindowUnderTest::WindowUnderTest(MemorySettings* keep) {
    if (!keep) {
        ownSettings = std::make_unique<MemorySettings>();
        keep = ownSettings.get();
    }
    settings = keep;
    window = new frmQuarry(&prompts, settings);
    window->show();
}

WindowUnderTest::~WindowUnderTest() {
    delete window;
}

QString WindowUnderTest::Pane() const {
    return Child<QPlainTextEdit>("rtfDisplay")->toPlainText();
}

void WindowUnderTest::Click(const char* button) const {
    Child<QPushButton>(button)->click();
}

void WindowUnderTest::Trigger(const char* action) const {
    Child<QAction>(action)->trigger();
}

QString WindowUnderTest::Label(const char* label) const {
    return Child<QLabel>(label)->text();
}

void WindowUnderTest::Drop(const std::vector<std::string>& paths) const {
    QStringList list;
    for (const std::string& path : paths)
        list << QString::fromStdString(path);
    DropFiles(Child<QWidget>("picDropZone"), list);
}

QStringList WindowUnderTest::Files() const {
    const auto* box = Child<QComboBox>("cmboFileList");
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

ShownMessage WindowUnderTest::LastMessage() const {
    return prompts.messages.empty() ? ShownMessage{} : prompts.messages.back();
}
