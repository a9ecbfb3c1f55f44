// The display sink of command mode: the report goes to standard output with each CR LF written
// as a single LF. A report that ends inside a line gets a final LF when output ends, so that the
// shell's prompt starts on a line of its own.
//
// Reports end their lines with CR LF, so a lone CR or LF in a report is a byte of a name from
// the image: it is shown escaped ("\x0D"), as are the other control characters (TerminalText.h).
// A content view, which shows a file's text, keeps the file's own line breaks instead.
//
// Every write is checked. After the first failure (a full disk, a closed descriptor) nothing
// more is written, the walk that produces the report is asked to stop, and Error() tells why.
#pragma once

#include "DisplaySink.h"

#include <ostream>
#include <string>

class EventHook;

class ConsoleSink : public DisplaySink {
  public:
    explicit ConsoleSink(std::ostream& out) : m_out(out) {}
    ~ConsoleSink() override { Flush(); }
    void Append(std::string_view text) override;
    // Output continues where it was: a terminal cannot be cleared of what it has printed.
    void Clear() override {}
    std::string Text() const override { return {}; }
    void Flush();

    // A content view follows: lone CRs and LFs are the file's line breaks.
    void KeepLineBreaks(bool keep) { m_keepLineBreaks = keep; }
    // A failed write sets the abort flag of hook, which every long walk checks.
    void StopOnFailure(EventHook& hook) { m_stop = &hook; }
    // The errno of the first failed write or flush; 0 while all went well.
    int Error() const { return m_error; }

  private:
    void Write(const std::string& bytes);

    std::ostream& m_out;
    std::string m_carry; // a CR or a UTF-8 lead byte at the end of a piece, decided by the next
    bool m_keepLineBreaks = false;
    char m_last = '\n'; // the last character written
    EventHook* m_stop = nullptr;
    int m_error = 0;
};
