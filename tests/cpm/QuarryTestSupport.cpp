#include "QuarryTestSupport.h"

#include <cstdio>
#include <filesystem>
#include <sstream>

std::string Said(const ShownMessage& message) {
    return message.title + ": " + message.text;
}

bool Cpmtools::Installed() {
    return std::system("command -v cpmls >/dev/null 2>&1 && command -v cpmcp >/dev/null 2>&1 && "
                       "command -v fsck.cpm >/dev/null 2>&1") == 0;
}

Cpmtools::Cpmtools() : m_home(TempDir("quarry-cpmtools")) {
    RunCommand("bash " + Quote(QUARRY_PEER_DIR "/make_cpmtools_home.sh") + " " + Quote(m_home));
}

Cpmtools::Cpmtools(const std::string& diskdefs, const std::string& libdskrc)
    : m_home(TempDir("quarry-cpmtools")) {
    WriteFileBytes(m_home + "/diskdefs", ByteVector(diskdefs.begin(), diskdefs.end()));
    WriteFileBytes(m_home + "/.libdskrc", ByteVector(libdskrc.begin(), libdskrc.end()));
}

int Cpmtools::Run(const std::string& command, std::string* output) const {
    int status = -1;
    const std::string text =
        RunCommand("cd '" + m_home + "' && HOME='" + m_home + "' " + command + " 2>&1", &status);
    if (output) *output = text;
    return status;
}

std::set<std::string> Cpmtools::List(const std::string& format, const std::string& image) const {
    std::string text;
    if (Run("cpmls -T raw -f " + format + " '" + image + "'", &text) != 0)
        return {"cpmls failed: " + text};
    // A line "N:" starts the files of user N.
    std::set<std::string> names;
    std::istringstream lines(text);
    std::string line, user;
    while (std::getline(lines, line)) {
        if (line.empty()) continue;
        if (line.back() == ':')
            user = line.substr(0, line.size() - 1);
        else
            names.insert(user + ":" + line);
    }
    return names;
}

ByteVector Cpmtools::Get(const std::string& format, const std::string& image,
                         const std::string& file) const {
    const std::string out = m_home + "/extracted";
    std::remove(out.c_str());
    std::string text;
    if (Run("cpmcp -T raw -f " + format + " '" + image + "' '" + file + "' '" + out + "'", &text) !=
        0) {
        text = "cpmcp failed: " + text;
        return ByteVector(text.begin(), text.end());
    }
    return ReadFileBytes(out);
}

std::string Cpmtools::Put(const std::string& format, const std::string& image,
                          const std::string& host, const std::string& file) const {
    std::string text;
    const int status =
        Run("cpmcp -T raw -f " + format + " '" + image + "' '" + host + "' '" + file + "'", &text);
    return status == 0 ? "" : "cpmcp failed: " + text;
}

std::string Cpmtools::Check(const std::string& format, const std::string& image) const {
    std::string text;
    const int status = Run("fsck.cpm -n -T raw -f " + format + " '" + image + "'", &text);
    std::istringstream lines(text);
    std::string line, errors;
    while (std::getline(lines, line))
        if (line.find("Error") != std::string::npos) errors += line + "\n";
    return status == 0 || !errors.empty() ? errors : text;
}
