// The display pane: a read-only plain-text view in a fixed-pitch font, without wrapping. Reports
// arrive with CR LF line ends; the view shows them as line breaks.
#pragma once

#include "DisplaySink.h"

#include <QFont>

class QPlainTextEdit;

class QtDisplaySink : public DisplaySink {
  public:
    explicit QtDisplaySink(QPlainTextEdit* pane);
    void Append(std::string_view text) override;
    void Clear() override;
    std::string Text() const override; // with CR LF line ends

    // Sets up a pane as the programs show it: fixed font, no wrapping, read-only, selectable.
    static void SetUpPane(QPlainTextEdit* pane);
    // The fixed-pitch font of the pane, for lists that line up as the reports do.
    static QFont FixedPitchFont();

  private:
    QPlainTextEdit* m_pane;
    bool m_afterCR = false; // the last piece ended with CR
};
