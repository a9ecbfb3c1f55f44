#include "FatTestSupport.h"

#include "Golden.h"

#include <array>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sys/wait.h>

std::string OspreyImages() {
    return FixtureDir() + "/osprey";
}

std::vector<std::uint8_t> ReadHostFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteHostFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

std::string Quote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string RunCommand(const std::string& command, int* status) {
    std::string output;
    FILE* pipe = ::popen(("PATH=$PATH:/sbin:/usr/sbin " + command).c_str(), "r");
    if (!pipe) return output;
    std::array<char, 4096> buffer{};
    std::size_t n = 0;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        output.append(buffer.data(), n);
    const int raw = ::pclose(pipe);
    if (status) *status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return output;
}

bool HaveTool(const std::string& name) {
    int status = 1;
    RunCommand("command -v " + name + " >/dev/null 2>&1", &status);
    return status == 0;
}

bool ExplorerRig::Open(const std::string& path, std::int64_t offset) {
    explorer.SetPartitionOffset(offset);
    return explorer.Open(path, opener, sink) == OpenOutcome::Opened;
}

OpenOutcome ExplorerRig::OpenBytes(std::vector<std::uint8_t> bytes, const std::string& title) {
    memory = std::make_unique<MemorySectors>(std::move(bytes), 512);
    return explorer.Attach(OpenedImage::Borrowing(*memory, title), sink);
}

std::string ExplorerRig::MessageTitles() const {
    std::string titles;
    for (const ShownMessage& m : prompts.messages)
        titles += (titles.empty() ? "" : "|") + m.title;
    return titles;
}
