#include "modFile.h"

#include "Prompts.h"
#include "SettingsStore.h"

#include <filesystem>

std::string DirectoryPart(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string SuggestedFileName(const std::string& name) {
    if (name == "." || name == "..") return std::string(name.size(), '_');
    std::string safe = name;
    for (char& c : safe)
        if (c == '/' || c == '\0') c = '_';
    return safe;
}

std::string WithTrailingSlash(const std::string& folder) {
    if (folder.empty() || folder.back() == '/') return folder;
    return folder + "/";
}

modFile::modFile(ProgramCopy program, Prompts& prompts, SettingsStore& settings)
    : m_program(program), m_prompts(prompts), m_settings(settings) {
    std::error_code ec;
    m_currentDirectory = WithTrailingSlash(std::filesystem::current_path(ec).string());
}

std::string modFile::GetFileName(const std::string& suggestedFileName, const std::string& openSave,
                                 const std::string& extension, int /*extraFlags*/,
                                 const std::string& dialogTitle, bool* readOnly) {
    const FileType type = LookupFileType(m_program, extension);

    FileDialogRequest request;
    request.filter = type.filter;
    request.filterIndex = type.filterIndex;
    request.defaultExtension = type.defaultExtension;
    request.suggestedName = SuggestedFileName(suggestedFileName);
    request.startDirectory = m_lastDirectory;

    // Every call reads the remembered folder afresh; an empty drive-slot folder falls back to
    // the folder last chosen in any dialog.
    const std::string remembered = m_settings.GetSetting("Paths", type.pathsKey);
    if (!remembered.empty()) request.startDirectory = remembered;

    const std::string description = dialogTitle == "Default" ? type.description : dialogTitle;
    const std::string mode = UpperCase(openSave);
    if (mode == "OPEN") {
        request.mode = FileDialogRequest::Mode::Open;
        request.title = "Open " + description + " File";
        request.offerReadOnly = readOnly != nullptr;
    } else if (mode == "SAVE") {
        request.mode = FileDialogRequest::Mode::Save;
        request.title = "Save " + description + " File";
    } else if (mode == "SAVEAS") {
        request.mode = FileDialogRequest::Mode::SaveAs;
        request.title = "Save " + description + " File As";
    } else {
        return "";
    }

    const FileDialogResult result = m_prompts.FileDialog(request);
    if (result.path.empty()) return "";
    if (readOnly) *readOnly = result.readOnly;

    const std::string folder = DirectoryPart(result.path);
    m_settings.SaveSetting("Paths", type.pathsKey, folder);
    m_lastDirectory = folder;
    return result.path;
}

std::string modFile::GetDirName(const std::string& /*suggestedDirName*/,
                                const std::string& /*openSave*/, const std::string& dirType,
                                int /*extraFlags*/, const std::string& dialogTitle) {
    const bool saveAll = UpperCase(dirType) == "SAVEALL";
    std::string start;
    if (saveAll) start = m_settings.GetSetting("Paths", "SAVEALL");
    if (start.empty()) start = m_currentDirectory;

    const DirectoryPickResult result =
        m_prompts.PickDirectory("Directory Path " + dialogTitle, start);
    if (result.cancelled || result.directory.empty()) return "";

    const std::string chosen = WithTrailingSlash(result.directory);
    m_currentDirectory = chosen;
    if (saveAll) m_settings.SaveSetting("Paths", "SAVEALL", chosen);
    return chosen;
}
