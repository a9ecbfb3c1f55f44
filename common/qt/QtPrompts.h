// Prompts answered by Qt dialogs: message boxes, input boxes, the file dialog set up from the
// file-type request, and the directory picker.
#pragma once

#include "Prompts.h"

#include <QStringList>

class QWidget;
class SettingsStore;
class dialogGetDirectory;

class QtPrompts : public Prompts {
  public:
    QtPrompts(QWidget* parent, SettingsStore& settings) : m_parent(parent), m_settings(settings) {}

    Answer MessageBox(const std::string& title, const std::string& text,
                      Buttons buttons = Buttons::Ok) override;
    std::optional<std::string> InputBox(const std::string& prompt, const std::string& title,
                                        const std::string& defaultText) override;
    FileDialogResult FileDialog(const FileDialogRequest& request) override;
    DirectoryPickResult PickDirectory(const std::string& caption,
                                      const std::string& startDirectory) override;

  private:
    QWidget* m_parent;
    SettingsStore& m_settings;
    dialogGetDirectory* m_picker = nullptr; // made once, hidden between uses
};

// "Text File (*.txt)|*.txt|VersaDoS Text File|*.AF;*.AG" as Qt name filters:
// "Text File (*.txt)", "VersaDoS Text File (*.AF *.AG)".
QStringList QtNameFilters(const std::string& filter);
