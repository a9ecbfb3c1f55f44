#include "WindowDriver.h"

namespace {

QListWidgetItem* RowOf(QListWidget* list, const QString& text) {
    const QList<QListWidgetItem*> rows = list->findItems(text, Qt::MatchExactly);
    if (rows.isEmpty())
        qFatal("no row \"%s\" in %s", qPrintable(text), qPrintable(list->objectName()));
    list->clearFocus();
    list->setCurrentItem(rows.first());
    return rows.first();
}

} // namespace

void OnModalDialog(std::function<void(QDialog*)> work) {
    QTimer::singleShot(0, qApp, [work] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        QVERIFY2(dialog, "no modal dialog");
        work(dialog);
    });
}

void WindowDriver::Attach(ExplorerWindow& window) {
    m_window = &window;
    QObject::connect(&window, &ExplorerWindow::BusyChanged, &window, [this] { ++m_busyChanges; });
    window.show();
}

void WindowDriver::Click(const char* name) const {
    QObject* control = Find(name);
    if (auto* action = qobject_cast<QAction*>(control))
        action->trigger();
    else if (auto* button = qobject_cast<QAbstractButton*>(control))
        button->click();
    else
        qFatal("%s is neither a button nor a menu entry", name);
}

QList<bool> WindowDriver::Enabled(std::initializer_list<const char*> names) const {
    emit Find<QMenu>("mnuFile")->aboutToShow();
    QList<bool> states;
    for (const char* name : names) {
        QObject* control = Find(name);
        auto* action = qobject_cast<QAction*>(control);
        states << (action ? action->isEnabled() : qobject_cast<QWidget*>(control)->isEnabled());
    }
    return states;
}

QString WindowDriver::Pane() const {
    return Find<QPlainTextEdit>("rtfDisplay")->toPlainText();
}

QString WindowDriver::Text(const char* name) const {
    QObject* control = Find(name);
    if (auto* label = qobject_cast<QLabel*>(control)) return label->text();
    if (auto* edit = qobject_cast<QLineEdit*>(control)) return edit->text();
    qFatal("%s has no text", name);
}

QStringList WindowDriver::Items(const char* name) const {
    QStringList items;
    QObject* control = Find(name);
    if (auto* list = qobject_cast<QListWidget*>(control)) {
        for (int i = 0; i < list->count(); ++i)
            items << list->item(i)->text();
    } else if (auto* box = qobject_cast<QComboBox*>(control)) {
        for (int i = 0; i < box->count(); ++i)
            items << box->itemText(i);
    } else {
        qFatal("%s is neither a list nor a combo box", name);
    }
    return items;
}

void WindowDriver::ClickRow(const char* list, const QString& text) const {
    auto* view = Find<QListWidget>(list);
    emit view->itemClicked(RowOf(view, text));
}

void WindowDriver::DoubleClickRow(const char* list, const QString& text) const {
    auto* view = Find<QListWidget>(list);
    QListWidgetItem* row = RowOf(view, text);
    emit view->itemDoubleClicked(row);
    emit view->itemActivated(row);
}

void WindowDriver::Open(const std::string& path, bool readOnly) const {
    m_window->OpenImage(QString::fromStdString(path), readOnly);
}

void WindowDriver::OpenByMenu(const std::string& path, const char* entry) {
    prompts.fileAnswers.push_back({path, false});
    Click(entry);
}

bool WindowDriver::Drop(const QStringList& paths, const char* target, const QString& text) const {
    QWidget* widget = target ? Find<QWidget>(target) : m_window;
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls << QUrl::fromLocalFile(path);
    if (!urls.isEmpty()) data.setUrls(urls);
    if (!text.isEmpty()) data.setText(text);
    const QPoint at(5, 5);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &enter);
    // Straight to the control: the application delivers drops only while a drag runs.
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &drop);
    return enter.isAccepted();
}

void WindowDriver::WhileBusy(std::function<void()> step) const {
    ExplorerWindow* window = m_window;
    auto* armed = new QObject(window);
    QObject::connect(window, &ExplorerWindow::BusyChanged, armed, [window, armed, step](bool busy) {
        if (!busy) return;
        QObject::disconnect(window, &ExplorerWindow::BusyChanged, armed, nullptr);
        // The walk's next pass of event processing runs it.
        QTimer::singleShot(0, armed, [armed, step] {
            step();
            armed->deleteLater();
        });
    });
}

bool WindowDriver::WaitUntilIdle() const {
    for (;;) {
        if (!QTest::qWaitFor([this] { return !m_window->IsBusy(); }, 5000)) return false;
        const int changes = m_busyChanges;
        QTest::qWait(100);
        if (changes == m_busyChanges && !m_window->IsBusy()) return true;
    }
}

ShownMessage WindowDriver::LastMessage() const {
    return prompts.messages.empty() ? ShownMessage{} : prompts.messages.back();
}
