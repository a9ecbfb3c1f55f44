// The display sink of command mode: the report goes to standard output with each CR LF written
// as a single LF (a lone CR stays a CR). A report that ends inside a line gets a final LF when
// output ends, so that the shell's prompt starts on a line of its own.
#pragma once

#include "DisplaySink.h"

#include <ostream>

class ConsoleSink : public DisplaySink {
public:
    explicit ConsoleSink(std::ostream& out) : m_out(out) {}
    ~ConsoleSink() override { Flush(); }
    void Append(std::string_view text) override;
    // Output continues where it was: a terminal cannot be cleared of what it has printed.
    void Clear() override {}
    std::string Text() const override { return {}; }
    void Flush();

private:
    std::ostream& m_out;
    bool m_pendingCR = false;
    char m_last = '\n'; // the last character written
};
