#include "Golden.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

std::string CompareGolden(const std::string& name, const std::string& text) {
    const fs::path path = fs::path(SUITE_GOLDEN_DIR) / (name + ".txt");
    if (const char* update = std::getenv("UPDATE_GOLDEN"); update && *update == '1') {
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << text;
        return "";
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) return "golden file " + path.string() + " is missing (run with UPDATE_GOLDEN=1)";
    std::stringstream buffer;
    buffer << in.rdbuf();
    const std::string expected = buffer.str();
    if (expected == text) return "";
    std::size_t at = 0;
    while (at < expected.size() && at < text.size() && expected[at] == text[at])
        ++at;
    const std::size_t line = static_cast<std::size_t>(
        std::count(expected.begin(), expected.begin() + static_cast<long>(at), '\n') + 1);
    auto around = [&](const std::string& s) {
        const std::size_t start = s.rfind('\n', at == 0 ? 0 : at - 1);
        const std::size_t from = start == std::string::npos ? 0 : start + 1;
        return s.substr(from, std::min<std::size_t>(120, s.size() - from));
    };
    return name + ": differs at byte " + std::to_string(at) + " (line " + std::to_string(line) +
           ")\n  expected: " + around(expected) + "\n  actual:   " + around(text);
}

std::string FixtureDir() {
    return SUITE_FIXTURE_DIR;
}
std::string SharedImagesDir() {
    return SUITE_SHARED_IMAGES_DIR;
}
std::string RealImagesDir() {
    return SUITE_REAL_IMAGES_DIR;
}

std::string TempDir(const std::string& name) {
    // The folders of a test process go when it ends (kept with SUITE_KEEP_TEMP set, to look).
    static struct Made {
        std::vector<fs::path> paths;
        pid_t owner = ::getpid(); // a forked child that exits leaves them to its parent
        ~Made() {
            std::error_code ec;
            if (::getpid() == owner && !std::getenv("SUITE_KEEP_TEMP"))
                for (const fs::path& path : paths)
                    fs::remove_all(path, ec);
        }
    } made;
    const fs::path path =
        fs::temp_directory_path() / ("suite-test-" + std::to_string(::getpid()) + "-" + name);
    fs::remove_all(path);
    fs::create_directories(path);
    made.paths.push_back(path);
    return path.string();
}

std::vector<std::uint8_t> ReadHostFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteHostFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

std::string RunCommand(const std::string& command, int* status) {
    std::string output;
    FILE* pipe = ::popen(("PATH=$PATH:/sbin:/usr/sbin " + command).c_str(), "r");
    if (!pipe) return output;
    std::array<char, 4096> buffer{};
    for (std::size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0;)
        output.append(buffer.data(), n);
    const int raw = ::pclose(pipe);
    if (status) *status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return output;
}

CommandRun RunShell(const std::string& command) {
    CommandRun run;
    run.out = RunCommand(command, &run.status);
    return run;
}

bool HaveTool(const std::string& name) {
    int status = 1;
    RunCommand("command -v " + name + " >/dev/null 2>&1", &status);
    return status == 0;
}

std::string Quote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::vector<std::string> SplitLines(const std::string& text, bool skipEmpty) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (!skipEmpty || !line.empty()) lines.push_back(line);
    return lines;
}
