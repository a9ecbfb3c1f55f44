#include "ConsolePrompts.h"

#include "cli/TerminalText.h"

std::string ConsolePrompts::OneLine(const std::string& title, const std::string& text) {
    return TerminalLine(title + ": " + text);
}

Answer ConsolePrompts::MessageBox(const std::string& title, const std::string& text,
                                  Buttons buttons) {
    bool quiet = false;
    for (const std::string& prefix : m_quietTitles)
        if (title.rfind(prefix, 0) == 0) quiet = true;
    if (!quiet || m_verbose) {
        m_err << OneLine(title, text) << '\n';
        m_err.flush();
    }
    ++m_messages;
    return buttons == Buttons::OkCancel ? m_confirm : Answer::Ok;
}

std::optional<std::string> ConsolePrompts::InputBox(const std::string& prompt,
                                                    const std::string& title,
                                                    const std::string& /*defaultText*/) {
    throw CommandError(title + ": " + prompt + " (no option answers this question)");
}

FileDialogResult ConsolePrompts::FileDialog(const FileDialogRequest& request) {
    if (m_file.empty()) throw CommandError(request.title + ": no file was given");
    return {m_file, false};
}

DirectoryPickResult ConsolePrompts::PickDirectory(const std::string& caption,
                                                  const std::string& /*startDirectory*/) {
    if (m_directory.empty()) throw CommandError(caption + ": no folder was given");
    return {m_directory, false};
}
