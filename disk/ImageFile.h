// A host image file opened for reading only, read through one window of buffered bytes so that
// walking an image byte by byte costs one system call per window, not per byte. Positions are
// 1-based, as the programs have always counted them: the first byte of the file is position 1.
#pragma once

#include "HostError.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

class ImageFile {
  public:
    // Bytes kept in memory around the last read position.
    static constexpr std::size_t WindowSize = 64 * 1024;

    ImageFile() = default;
    ImageFile(const ImageFile&) = delete;
    ImageFile& operator=(const ImageFile&) = delete;
    ~ImageFile() { Close(); }

    // Opens path read-only through OpenImageFile (a FIFO or a terminal is refused at once, and
    // the image joins the list of open images); a file already open is closed first.
    HostError Open(const std::string& path);
    void Close();
    bool IsOpen() const { return m_fd >= 0; }
    const std::string& Path() const { return m_path; }
    // Length in bytes when the file was opened.
    std::int64_t Length() const { return m_length; }

    // Fills buffer from the 1-based position on. Bytes beyond the end of the file give error 62
    // (input past end of file); the part of the buffer that lies within the file is filled.
    HostError Read(std::int64_t position, std::span<std::uint8_t> buffer);
    // The byte at the 1-based position, or -1 beyond the end of the file or after a host
    // error (LastError() then tells which).
    int ByteAt(std::int64_t position);
    const HostError& LastError() const { return m_lastError; }

  private:
    HostError Fill(std::int64_t offset);

    int m_fd = -1;
    std::string m_path;
    std::int64_t m_length = 0;
    std::vector<std::uint8_t> m_window;
    std::int64_t m_windowStart = 0; // 0-based file offset of m_window[0]
    HostError m_lastError;
};
