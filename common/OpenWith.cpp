#include "OpenWith.h"

namespace {

OpenWithFinder& Finder() {
    static OpenWithFinder finder;
    return finder;
}

} // namespace

void SetOpenWithFinder(OpenWithFinder finder) {
    Finder() = std::move(finder);
}

std::string OpenWithHint(const std::string& path) {
    return Finder() && !path.empty() ? Finder()(path) : std::string();
}

std::string WithOpenWithHint(const std::string& text, const std::string& path) {
    const std::string hint = OpenWithHint(path);
    return hint.empty() ? text : text + "\r\n" + hint;
}
