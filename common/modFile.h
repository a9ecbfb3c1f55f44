// File and folder choice for every program: GetFileName sets up the open/save dialog from the
// file-type table and remembers the last folder per type in the settings store ("Paths");
// GetDirName asks the directory picker for a target folder.
#pragma once

#include "FileTypes.h"

#include <string>

class Prompts;
class SettingsStore;

class modFile {
  public:
    modFile(ProgramCopy program, Prompts& prompts, SettingsStore& settings);

    // The chosen file's full path, or "" when cancelled. openSave is "OPEN", "SAVE" or "SAVEAS"
    // (any case); extension is the type key. With readOnly given, the open dialog offers a
    // read-only choice and reports it there.
    std::string GetFileName(const std::string& suggestedFileName, const std::string& openSave,
                            const std::string& extension, int extraFlags = 0,
                            const std::string& dialogTitle = "Default", bool* readOnly = nullptr);

    // The chosen folder, or "" after Cancel. dirType "SAVEALL" starts at, and remembers, the
    // folder last chosen for saving all files.
    std::string GetDirName(const std::string& suggestedDirName, const std::string& openSave,
                           const std::string& dirType, int extraFlags = 0,
                           const std::string& dialogTitle = "Default");

    // The program's current folder (ends with "/"): the fallback of the directory picker.
    const std::string& CurrentDirectory() const { return m_currentDirectory; }
    const std::string& LastDirectory() const { return m_lastDirectory; }

  private:
    ProgramCopy m_program;
    Prompts& m_prompts;
    SettingsStore& m_settings;
    std::string m_lastDirectory; // last folder chosen in any file dialog
    std::string m_currentDirectory;
};

// A name taken from an image as the save dialog's suggestion: one file name in the dialog's
// folder. "/" and NUL become "_", and "." and ".." become underscores, so that the name cannot
// lead the dialog, and a user who just confirms it, into another folder.
std::string SuggestedFileName(const std::string& name);
// The folder part of a path, up to and including the last "/".
std::string DirectoryPart(const std::string& path);
// A folder with exactly one trailing "/" (empty stays empty).
std::string WithTrailingSlash(const std::string& folder);
