#include "QtDisplaySink.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>

QtDisplaySink::QtDisplaySink(QPlainTextEdit* pane) : m_pane(pane) {}

QFont QtDisplaySink::FixedPitchFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setFamilies({"Courier New", "Liberation Mono", font.family()});
    font.setStyleHint(QFont::TypeWriter);
    return font;
}

void QtDisplaySink::SetUpPane(QPlainTextEdit* pane) {
    pane->setFont(FixedPitchFont());
    pane->setLineWrapMode(QPlainTextEdit::NoWrap);
    pane->setReadOnly(true);
    pane->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    pane->setUndoRedoEnabled(false);
}

void QtDisplaySink::Append(std::string_view text) {
    if (text.empty()) return;
    QString piece = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    // A CR LF split between two pieces (a file typed block by block) is one line break.
    if (m_afterCR && piece.startsWith(QLatin1Char('\n'))) piece.remove(0, 1);
    m_afterCR = text.back() == '\r';
    piece.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    piece.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QTextCursor cursor(m_pane->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(piece);
}

void QtDisplaySink::Clear() {
    m_pane->clear();
    m_afterCR = false;
}

std::string QtDisplaySink::Text() const {
    QString text = m_pane->toPlainText();
    text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return text.toStdString();
}
