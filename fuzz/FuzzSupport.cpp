#include "FuzzSupport.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

[[noreturn]] void Fail(const std::string& text) {
    std::fprintf(stderr, "fuzz check failed: %s\n", text.c_str());
    std::fflush(stderr);
    std::abort();
}

void RemoveScratch() {
    std::error_code ec;
    fs::remove_all(ScratchDir(), ec);
}

bool Below(const fs::path& folder, const fs::path& path) {
    const std::string root = folder.lexically_normal().string() + "/";
    return path.lexically_normal().string().rfind(root, 0) == 0;
}

} // namespace

const std::string& ScratchDir() {
    // Never destroyed: the exit handler that removes the folder still needs its name.
    static const std::string& dir = *new std::string([] {
        std::error_code ec;
        const fs::path base = fs::is_directory("/dev/shm", ec) && access("/dev/shm", W_OK) == 0
                                  ? fs::path("/dev/shm")
                                  : fs::temp_directory_path();
        const fs::path made = base / ("suite-fuzz-" + std::to_string(getpid()));
        fs::remove_all(made, ec);
        fs::create_directories(made);
        std::atexit(RemoveScratch);
        return made.string();
    }());
    return dir;
}

std::string WriteScratchFile(const std::string& name, std::span<const std::uint8_t> bytes) {
    const std::string path = ScratchDir() + "/" + name;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) Fail("cannot write " + path);
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size())
        Fail("cannot write " + path);
    std::fclose(file);
    return path;
}

std::string FreshScratchFolder(const std::string& name) {
    const fs::path folder = fs::path(ScratchDir()) / name;
    std::error_code ec;
    fs::remove_all(folder, ec);
    fs::create_directories(folder);
    return folder.string();
}

FileState StateOf(const std::string& path) {
    FileState state;
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return state;
    state.size = info.st_size;
    state.mtimeNanoseconds =
        static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    // One read of the whole file: images of several megabytes are compared after every input.
    state.bytes.resize(static_cast<std::size_t>(info.st_size));
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return state;
    const std::size_t got = std::fread(state.bytes.data(), 1, state.bytes.size(), file);
    std::fclose(file);
    state.bytes.resize(got);
    return state;
}

void RequireUnchanged(const std::string& path, const FileState& before, const char* what) {
    const FileState after = StateOf(path);
    if (after.size != before.size) Fail(std::string(what) + " changed the size of the image");
    if (after.bytes != before.bytes) Fail(std::string(what) + " changed bytes of the image");
    if (after.mtimeNanoseconds != before.mtimeNanoseconds)
        Fail(std::string(what) + " changed the modification time of the image");
}

void RequireNothingOutside(const std::vector<std::string>& allowedFolders,
                           const std::vector<std::string>& allowedFiles) {
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(ScratchDir(), ec);
         it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (ec) Fail("cannot walk the scratch folder: " + ec.message());
        const fs::path path = it->path();
        bool allowed = false;
        for (const std::string& folder : allowedFolders)
            allowed = allowed || path == fs::path(folder) || Below(folder, path);
        for (const std::string& file : allowedFiles)
            allowed = allowed || path == fs::path(file);
        if (!allowed) Fail("a command wrote outside its folder: " + path.string());
        if (it->is_symlink()) Fail("a command made a symbolic link: " + path.string());
    }
}
