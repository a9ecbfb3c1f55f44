#include "cli/WindowModule.h"

#include <dlfcn.h>

#include <filesystem>
#include <iostream>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::vector<fs::path> Candidates(const std::string& program) {
    const std::string file = program + "-window.so";
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return {file};
    const fs::path dir = exe.parent_path();
    return {dir / file, dir.parent_path() / SUITE_WINDOW_MODULE_DIR / file};
}

} // namespace

WindowMain WindowModule(const std::string& program) {
    return [program](int& argc, char** argv, const std::string& image) {
        std::string problems;
        for (const fs::path& path : Candidates(program)) {
            std::error_code ec;
            if (!fs::exists(path, ec)) continue;
            void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
            if (!module) {
                problems = ::dlerror();
                break;
            }
            auto entry = reinterpret_cast<WindowEntry>(::dlsym(module, "SuiteWindowMain"));
            if (!entry) {
                problems = path.string() + " has no window entry";
                break;
            }
            // The module stays loaded until the program ends: Qt may still run code of it at exit.
            return entry(&argc, argv, image.c_str());
        }
        if (problems.empty()) problems = "no " + program + "-window.so was found";
        std::cerr << program << ": the window cannot open: " << problems << '\n';
        return 1;
    };
}
