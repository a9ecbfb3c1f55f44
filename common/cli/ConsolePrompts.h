// Prompts of command mode. A message box becomes one line "TITLE: TEXT" on standard error (line
// breaks of the text written as " / ", control characters escaped as in TerminalText.h); boxes
// that only inform on every open are printed with --verbose alone. The commands ask their
// questions through the options themselves and pass the answers to the core: a question that
// still reaches an input box here has no answer and fails the command.
#pragma once

#include "Prompts.h"

#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

// A command that cannot be carried out: its message goes to standard error, exit status 1.
struct CommandError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class ConsolePrompts : public Prompts {
  public:
    ConsolePrompts(std::ostream& err, bool verbose) : m_err(err), m_verbose(verbose) {}

    void SetVerbose(bool verbose) { m_verbose = verbose; }
    // Boxes whose title starts with prefix are informational: printed only with --verbose.
    void AddQuietTitle(const std::string& prefix) { m_quietTitles.push_back(prefix); }
    // The answer of OK/Cancel boxes (OK unless set).
    void SetConfirm(Answer answer) { m_confirm = answer; }
    // The path that file dialogs and the directory picker answer with.
    void SetFileAnswer(const std::string& path) { m_file = path; }
    void SetDirectoryAnswer(const std::string& path) { m_directory = path; }

    // "TITLE: TEXT" as printed.
    static std::string OneLine(const std::string& title, const std::string& text);
    int MessageCount() const { return m_messages; }

    Answer MessageBox(const std::string& title, const std::string& text,
                      Buttons buttons = Buttons::Ok) override;
    std::optional<std::string> InputBox(const std::string& prompt, const std::string& title,
                                        const std::string& defaultText) override;
    FileDialogResult FileDialog(const FileDialogRequest& request) override;
    DirectoryPickResult PickDirectory(const std::string& caption,
                                      const std::string& startDirectory) override;

  private:
    std::ostream& m_err;
    bool m_verbose;
    int m_messages = 0;
    Answer m_confirm = Answer::Ok;
    std::vector<std::string> m_quietTitles;
    std::string m_file;
    std::string m_directory;
};
