// Where reports go: the window's display pane, standard output, or a string in tests. Every
// line of a report ends with CR LF.
#pragma once

#include <string>
#include <string_view>

inline constexpr const char* CRLF = "\r\n";

class DisplaySink {
public:
    virtual ~DisplaySink() = default;
    virtual void Append(std::string_view text) = 0;
    virtual void Clear() = 0;
    // The whole text shown since the last Clear (a stream that does not keep it returns "").
    virtual std::string Text() const = 0;
};

// Keeps the text in memory.
class StringSink : public DisplaySink {
public:
    void Append(std::string_view text) override { m_text.append(text); }
    void Clear() override { m_text.clear(); }
    std::string Text() const override { return m_text; }

private:
    std::string m_text;
};
