#include "ImageFile.h"

#include "OpenImages.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {

HostError PastEnd() {
    return {RunTimeError::InputPastEndOfFile, "Input past end of file"};
}

} // namespace

HostError ImageFile::Open(const std::string& path) {
    Close();
    HostError error;
    const int fd = OpenImageFile(path, false, error);
    if (fd < 0) return error;
    m_fd = fd;
    m_path = path;
    m_length = ImageFileLength(fd);
    return {};
}

void ImageFile::Close() {
    CloseImageFile(m_fd);
    m_fd = -1;
    m_path.clear();
    m_length = 0;
    m_window.clear();
    m_windowStart = 0;
    m_lastError = {};
}

HostError ImageFile::Fill(std::int64_t offset) {
    m_window.resize(WindowSize);
    std::size_t got = 0;
    while (got < WindowSize) {
        const ssize_t n = ::pread(m_fd, m_window.data() + got, WindowSize - got,
                                  static_cast<off_t>(offset + static_cast<std::int64_t>(got)));
        if (n < 0) {
            if (errno == EINTR) continue;
            const HostError error = HostErrorFromErrno(errno, m_path);
            m_window.clear();
            return error;
        }
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    m_window.resize(got);
    m_windowStart = offset;
    return {};
}

int ImageFile::ByteAt(std::int64_t position) {
    if (m_fd < 0) {
        m_lastError = {RunTimeError::BadFileNameOrNumber, "Bad file name or number"};
        return -1;
    }
    const std::int64_t offset = position - 1;
    if (offset < 0 || offset >= m_length) {
        m_lastError = PastEnd();
        return -1;
    }
    if (offset < m_windowStart ||
        offset >= m_windowStart + static_cast<std::int64_t>(m_window.size())) {
        if (HostError error = Fill(offset)) {
            m_lastError = error;
            return -1;
        }
        if (m_window.empty()) { // the file shrank since it was opened
            m_lastError = PastEnd();
            return -1;
        }
    }
    return m_window[static_cast<std::size_t>(offset - m_windowStart)];
}

HostError ImageFile::Read(std::int64_t position, std::span<std::uint8_t> buffer) {
    if (m_fd < 0) return {RunTimeError::BadFileNameOrNumber, "Bad file name or number"};
    std::size_t done = 0;
    while (done < buffer.size()) {
        const std::int64_t offset = position - 1 + static_cast<std::int64_t>(done);
        if (offset < 0 || offset >= m_length) return PastEnd();
        if (offset < m_windowStart ||
            offset >= m_windowStart + static_cast<std::int64_t>(m_window.size())) {
            if (HostError error = Fill(offset)) return error;
            if (m_window.empty()) return PastEnd();
        }
        const std::size_t from = static_cast<std::size_t>(offset - m_windowStart);
        const std::size_t count = std::min(buffer.size() - done, m_window.size() - from);
        std::memcpy(buffer.data() + done, m_window.data() + from, count);
        done += count;
    }
    return {};
}
