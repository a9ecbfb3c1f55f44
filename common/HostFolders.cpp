#include "HostFolders.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

bool MakeFolders(const std::string& root, const std::vector<std::string>& parts,
                 std::string& problem) {
    std::error_code ec;
    if (!fs::is_directory(root, ec)) {
        problem = "The folder " + root + " cannot be entered";
        return false;
    }
    fs::path at(root);
    for (const std::string& part : parts) {
        at /= part;
        const fs::file_status status = fs::symlink_status(at, ec);
        if (fs::is_directory(status)) continue;
        if (fs::exists(status)) {
            problem = "The folder " + at.string() + " cannot be made: " +
                      (fs::is_symlink(status) ? "a symbolic link" : "a file") +
                      " of that name is in the way";
            return false;
        }
        if (!fs::create_directory(at, ec) && ec) {
            problem = "The folder " + at.string() + " cannot be made: " + ec.message();
            return false;
        }
    }
    return true;
}
