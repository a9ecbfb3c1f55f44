// The driver of a fuzz target built without libFuzzer (the normal and sanitizer builds): runs
// the target once on every file named, or on every file of every folder named. A crash or a
// broken check ends the process; the regression corpus runs this way in the test suite.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace fs = std::filesystem;

namespace {

void RunFile(const fs::path& path, int& count) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<std::uint8_t> bytes(std::istreambuf_iterator<char>(in), {});
    std::printf("%s\n", path.string().c_str());
    std::fflush(stdout);
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    ++count;
}

} // namespace

int main(int argc, char** argv) {
    int count = 0;
    for (int i = 1; i < argc; ++i) {
        const fs::path path(argv[i]);
        if (!fs::is_directory(path)) {
            RunFile(path, count);
            continue;
        }
        std::vector<fs::path> files;
        for (const auto& entry : fs::directory_iterator(path))
            if (entry.is_regular_file()) files.push_back(entry.path());
        std::sort(files.begin(), files.end());
        for (const fs::path& file : files)
            RunFile(file, count);
    }
    if (count == 0) {
        std::fprintf(stderr, "no input files\n");
        return 1;
    }
    std::printf("replayed %d inputs\n", count);
    return 0;
}
