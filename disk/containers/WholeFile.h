// Reading a whole image file into memory, for the containers that keep their file's bytes
// (to write it back, or to hand a private copy to libdsk).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Image files larger than this are not read whole.
constexpr std::int64_t MaxWholeFileBytes = 64 << 20;

// The whole file into bytes; false (with problem set) when it cannot be read or is larger than
// MaxWholeFileBytes.
bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& problem);

// A private temporary folder holding one file, removed with everything in it when the object
// goes. The file is written through the common output policy.
class ScratchCopy {
  public:
    ScratchCopy(const std::vector<std::uint8_t>& bytes, const std::string& fileName);
    ~ScratchCopy();
    ScratchCopy(const ScratchCopy&) = delete;
    ScratchCopy& operator=(const ScratchCopy&) = delete;
    bool Made() const { return m_problem.empty(); }
    const std::string& Problem() const { return m_problem; }
    const std::string& Path() const { return m_path; }

  private:
    std::string m_folder;
    std::string m_path;
    std::string m_problem;
};
