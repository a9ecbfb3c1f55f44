#include "DiskStream.h"

#include "ChildProcess.h"

#include <cstring>

namespace {

constexpr char Signature[] = "KDSK";
constexpr std::uint8_t Version = 1;
constexpr std::size_t MaxText = 65536;

// Reads the stream front to back; every read past the end sets the failure and gives zeros.
class StreamReader {
  public:
    explicit StreamReader(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}
    bool Take(std::size_t count, std::span<const std::uint8_t>& out) {
        if (m_bad || m_bytes.size() - m_at < count) {
            m_bad = true;
            return false;
        }
        out = m_bytes.subspan(m_at, count);
        m_at += count;
        return true;
    }
    std::uint32_t Number(int size) {
        std::span<const std::uint8_t> bytes;
        if (!Take(static_cast<std::size_t>(size), bytes)) return 0;
        std::uint32_t value = 0;
        for (int i = size - 1; i >= 0; --i)
            value = value << 8 | bytes[static_cast<std::size_t>(i)];
        return value;
    }
    std::string Text(std::size_t length) {
        std::span<const std::uint8_t> bytes;
        if (length > MaxText || !Take(length, bytes)) return m_bad = true, std::string();
        return std::string(bytes.begin(), bytes.end());
    }
    bool Bad() const { return m_bad; }
    std::size_t At() const { return m_at; }

  private:
    std::span<const std::uint8_t> m_bytes;
    std::size_t m_at = 0;
    bool m_bad = false;
};

std::string Where(const StreamReader& in) {
    return " at byte " + std::to_string(in.At());
}

} // namespace

void DiskStreamWriter::Put(std::span<const std::uint8_t> bytes) {
    m_buffer.insert(m_buffer.end(), bytes.begin(), bytes.end());
    if (m_buffer.size() >= 65536) Flush();
}

void DiskStreamWriter::U8(std::uint32_t value) {
    const std::uint8_t b = static_cast<std::uint8_t>(value);
    Put({&b, 1});
}

void DiskStreamWriter::U16(std::uint32_t value) {
    const std::uint8_t b[2] = {static_cast<std::uint8_t>(value),
                               static_cast<std::uint8_t>(value >> 8)};
    Put(b);
}

void DiskStreamWriter::U32(std::uint32_t value) {
    const std::uint8_t b[4] = {
        static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
        static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
    Put(b);
}

bool DiskStreamWriter::Flush() {
    if (!m_failed && !m_buffer.empty())
        m_failed = !WriteAll(m_fd, m_buffer.data(), m_buffer.size());
    m_buffer.clear();
    return !m_failed;
}

void DiskStreamWriter::Refusal(const std::string& text) {
    Put({reinterpret_cast<const std::uint8_t*>(Signature), 4});
    U8(Version);
    U8('R');
    const std::string cut = text.substr(0, 65535);
    U16(static_cast<std::uint32_t>(cut.size()));
    Put({reinterpret_cast<const std::uint8_t*>(cut.data()), cut.size()});
}

void DiskStreamWriter::DiskHeader(const std::string& driver, const std::string& comment) {
    Put({reinterpret_cast<const std::uint8_t*>(Signature), 4});
    U8(Version);
    U8('D');
    const std::string name = driver.substr(0, 255);
    U8(static_cast<std::uint32_t>(name.size()));
    Put({reinterpret_cast<const std::uint8_t*>(name.data()), name.size()});
    const std::string text = comment.substr(0, MaxText);
    U32(static_cast<std::uint32_t>(text.size()));
    Put({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}

void DiskStreamWriter::Track(const PhysicalTrack& track, std::size_t sectors) {
    U8('T');
    U8(track.cylinder);
    U8(track.head);
    U8(track.sizeCode);
    U32(track.dataRate);
    U8(track.fm ? 1 : 0);
    U16(static_cast<std::uint32_t>(sectors));
}

void DiskStreamWriter::Sector(const PhysicalSector& sector, std::span<const std::uint8_t> data) {
    U8(sector.idCylinder);
    U8(sector.idHead);
    U8(sector.idSector);
    U8(sector.sizeCode);
    U32(sector.size);
    U8(static_cast<std::uint32_t>(sector.status));
    U8(sector.deleted ? 1 : 0);
    if (sector.status != SectorStatus::Unavailable) Put(data.first(sector.size));
}

void DiskStreamWriter::End() {
    U8('E');
    Flush();
}

bool ParseDiskStream(std::span<const std::uint8_t> bytes, StreamedDisk& result,
                     std::string& problem) {
    StreamReader in(bytes);
    std::span<const std::uint8_t> signature;
    if (!in.Take(4, signature) || std::memcmp(signature.data(), Signature, 4) != 0 ||
        in.Number(1) != Version) {
        problem = "the reader's answer does not start with its signature";
        return false;
    }
    const std::uint32_t kind = in.Number(1);
    if (kind == 'R') {
        result.refused = true;
        result.refusal = in.Text(in.Number(2));
        if (in.Bad()) problem = "the reader's refusal is cut off";
        return !in.Bad();
    }
    if (kind != 'D') {
        problem = "the reader's answer is of unknown kind " + std::to_string(kind);
        return false;
    }
    result.driver = in.Text(in.Number(1));
    result.comment = in.Text(in.Number(4));
    // The sector bytes are most of the answer: one allocation holds them all.
    result.disk.ReserveData(bytes.size());
    while (!in.Bad()) {
        const std::uint32_t tag = in.Number(1);
        if (tag == 'E') break;
        if (tag != 'T') {
            problem = "the reader's answer holds an unknown record" + Where(in);
            return false;
        }
        PhysicalTrack track;
        track.cylinder = static_cast<std::uint8_t>(in.Number(1));
        track.head = static_cast<std::uint8_t>(in.Number(1));
        track.sizeCode = static_cast<std::uint8_t>(in.Number(1));
        track.dataRate = in.Number(4);
        track.fm = in.Number(1) != 0;
        track.mode = ModeOf(track.dataRate, track.fm);
        const std::uint32_t count = in.Number(2);
        if (track.head > 1 || count > 255) {
            problem = "the reader's answer holds a track of head " + std::to_string(track.head) +
                      " with " + std::to_string(count) + " sectors" + Where(in);
            return false;
        }
        if (!result.disk.AddTrack(track)) {
            problem = "the reader sent cylinder " + std::to_string(track.cylinder) + ", head " +
                      std::to_string(track.head) + " twice";
            return false;
        }
        for (std::uint32_t s = 0; s < count && !in.Bad(); ++s) {
            PhysicalSector sector;
            sector.idCylinder = static_cast<std::uint8_t>(in.Number(1));
            sector.idHead = static_cast<std::uint8_t>(in.Number(1));
            sector.idSector = static_cast<std::uint8_t>(in.Number(1));
            sector.sizeCode = static_cast<std::uint8_t>(in.Number(1));
            sector.size = in.Number(4);
            const std::uint32_t status = in.Number(1);
            sector.deleted = in.Number(1) != 0;
            if (status > static_cast<std::uint32_t>(SectorStatus::DataError) ||
                sector.size > PhysicalDisk::MaxSectorSize) {
                problem = "the reader's answer holds a sector of status " + std::to_string(status) +
                          " and " + std::to_string(sector.size) + " bytes" + Where(in);
                return false;
            }
            sector.status = static_cast<SectorStatus>(status);
            std::span<const std::uint8_t> data;
            const bool added =
                sector.status == SectorStatus::Unavailable
                    ? result.disk.AddUniformSector(sector, 0)
                    : in.Take(sector.size, data) && result.disk.AddSector(sector, data);
            if (!added && !in.Bad()) {
                problem = "the disk holds more than " +
                          std::to_string(PhysicalDisk::MaxBytes >> 20) + " MiB of sectors";
                return false;
            }
        }
    }
    if (in.Bad()) {
        problem = "the reader's answer is cut off" + Where(in);
        return false;
    }
    return true;
}
