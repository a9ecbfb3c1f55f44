// Message boxes, input boxes, file dialogs and the directory picker, as the core asks for them.
// The window answers with real dialogs, the command line with options and standard error, the
// tests with scripted answers.
#pragma once

#include <optional>
#include <string>

enum class Buttons { Ok, OkCancel };
enum class Answer { Ok, Cancel };

struct FileDialogRequest {
    enum class Mode { Open, Save, SaveAs };
    Mode mode = Mode::Open;
    std::string title;
    // Description and pattern pairs joined by "|": "Text File (*.txt)|*.txt|All Files (*.*)|*.*"
    std::string filter;
    int filterIndex = 1; // 1-based entry selected when the dialog opens
    std::string defaultExtension;
    std::string startDirectory;
    std::string suggestedName;
    bool offerReadOnly = false; // the open dialog shows a read-only choice
};

struct FileDialogResult {
    std::string path; // empty: cancelled
    bool readOnly = false;
};

struct DirectoryPickResult {
    std::string directory; // the chosen directory; empty after Cancel
    bool cancelled = false;
};

class Prompts {
  public:
    virtual ~Prompts() = default;
    virtual Answer MessageBox(const std::string& title, const std::string& text,
                              Buttons buttons = Buttons::Ok) = 0;
    // nullopt when cancelled.
    virtual std::optional<std::string> InputBox(const std::string& prompt, const std::string& title,
                                                const std::string& defaultText) = 0;
    virtual FileDialogResult FileDialog(const FileDialogRequest& request) = 0;
    virtual DirectoryPickResult PickDirectory(const std::string& caption,
                                              const std::string& startDirectory) = 0;
};
