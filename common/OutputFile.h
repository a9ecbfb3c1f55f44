// A host file being written: an existing file of the name is deleted first, writes are
// buffered, and a file that could not be written completely is removed again so that no
// partial file is left looking like a good one.
#pragma once

#include "HostError.h"

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>

class OutputFile {
public:
    OutputFile() = default;
    ~OutputFile(); // an unfinished file is discarded
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    bool Open(const std::string& path);
    bool Write(std::span<const std::uint8_t> bytes);
    bool Write(const std::string& text);
    // Closes the file; false (and the file removed) when any write failed.
    bool Close();
    // Closes and removes the file: the operation did not finish.
    void Discard();

    const HostError& Error() const { return m_error; }

private:
    std::FILE* m_file = nullptr;
    std::string m_path;
    HostError m_error;
};
