#include "WholeFile.h"

#include "OutputFile.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes,
                   std::string& problem) {
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec) {
        problem = ec.message();
        return false;
    }
    if (size > static_cast<std::uintmax_t>(MaxWholeFileBytes)) {
        problem = "the file is larger than " + std::to_string(MaxWholeFileBytes >> 20) + " MiB";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    bytes.resize(static_cast<std::size_t>(size));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size));
    if (!in || in.peek() != std::ifstream::traits_type::eof()) {
        problem = "the file could not be read whole";
        return false;
    }
    return true;
}

ScratchCopy::ScratchCopy(const std::vector<std::uint8_t>& bytes, const std::string& fileName) {
    namespace fs = std::filesystem;
    std::error_code ec;
    std::string folder = (fs::temp_directory_path(ec) / "suite-disk-XXXXXX").string();
    if (ec || !mkdtemp(folder.data())) {
        m_problem = "no private temporary folder could be made";
        return;
    }
    m_folder = folder;
    // Drivers may tell formats by the extension: the copy keeps the name.
    const std::string name = fs::path(fileName).filename().string();
    m_path = (fs::path(folder) / (name.empty() ? "image" : name)).string();
    OutputFile file;
    if (!file.OpenScratch(m_path) || !file.Write(bytes) || !file.Close())
        m_problem = "the temporary copy could not be written: " + file.Error().description;
}

ScratchCopy::~ScratchCopy() {
    std::error_code ec;
    if (!m_folder.empty()) std::filesystem::remove_all(m_folder, ec);
}
