#include "OutputFile.h"

#include <cerrno>
#include <cstdio>

OutputFile::~OutputFile() {
    if (m_file) Discard();
}

bool OutputFile::Open(const std::string& path) {
    m_path = path;
    m_error = {};
    if (std::remove(path.c_str()) != 0 && errno != ENOENT) {
        m_error = HostErrorFromErrno(errno, path);
        return false;
    }
    m_file = std::fopen(path.c_str(), "wb");
    if (!m_file) {
        m_error = HostErrorFromErrno(errno, path);
        return false;
    }
    std::setvbuf(m_file, nullptr, _IOFBF, 1 << 20);
    return true;
}

bool OutputFile::Write(std::span<const std::uint8_t> bytes) {
    if (!m_file || m_error) return false;
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), m_file) != bytes.size()) {
        m_error = HostErrorFromErrno(errno ? errno : EIO, m_path);
        return false;
    }
    return true;
}

bool OutputFile::Write(const std::string& text) {
    return Write(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

bool OutputFile::Close() {
    if (!m_file) return false;
    const bool flushed = std::fflush(m_file) == 0;
    if (!flushed && !m_error) m_error = HostErrorFromErrno(errno ? errno : EIO, m_path);
    const bool closed = std::fclose(m_file) == 0;
    if (!closed && !m_error) m_error = HostErrorFromErrno(errno ? errno : EIO, m_path);
    m_file = nullptr;
    if (m_error) {
        std::remove(m_path.c_str());
        return false;
    }
    return true;
}

void OutputFile::Discard() {
    if (m_file) std::fclose(m_file);
    m_file = nullptr;
    std::remove(m_path.c_str());
}
