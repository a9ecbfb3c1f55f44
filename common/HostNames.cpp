#include "HostNames.h"

std::string SafeComponent(std::string_view name) {
    if (name.empty() || name == ".") return "_";
    if (name == "..") return "__";
    std::string safe(name);
    for (char& c : safe)
        if (c == '/' || c == '\0') c = '_';
    return safe;
}

std::string FolderNames::Claim(const std::string& name) {
    auto [it, first] = m_taken.try_emplace(name, 1);
    if (first) return name;
    // "." at the start is part of the name (".profile" becomes ".profile~2").
    const std::size_t dot = name.rfind('.');
    const bool hasType = dot != std::string::npos && dot != 0;
    const std::string stem = hasType ? name.substr(0, dot) : name;
    const std::string type = hasType ? name.substr(dot) : "";
    for (int n = it->second + 1;; ++n) {
        std::string candidate = stem + "~" + std::to_string(n) + type;
        if (m_taken.try_emplace(candidate, 1).second) {
            it->second = n;
            return candidate;
        }
    }
}
