#include "ImageDiskRewrite.h"

#include <algorithm>
#include <set>
#include <utility>

namespace {

bool EndsHeader(int b) {
    return b == 0x1A || b < 7 || b > 127;
}
bool HoldsData(int type) {
    return type >= 1 && type <= 8 && type % 2 == 1;
}
bool HoldsFill(int type) {
    return type >= 2 && type <= 8 && type % 2 == 0;
}
std::size_t BytesOfCode(int sizeCode) {
    return sizeCode >= 7 ? 0 : std::size_t{128} << sizeCode;
}

std::string Place(int cylinder, int head) {
    return "cylinder " + std::to_string(cylinder) + ", head " + std::to_string(head);
}

class Rewriter {
  public:
    Rewriter(std::span<const std::uint8_t> original, const PhysicalDisk& disk)
        : m_in(original), m_disk(disk) {}

    ImageDiskRewrite Run() {
        ImageDiskRewrite result;
        std::size_t at = 0;
        while (at < m_in.size() && !EndsHeader(m_in[at]))
            ++at;
        if (at == m_in.size()) return Fail("the header is not ended");
        Copy(0, ++at);
        while (at < m_in.size() && m_problem.empty())
            at = Track(at);
        if (m_problem.empty() && m_seen.size() != m_disk.Tracks().size())
            Fail("the file does not hold every track of the disk");
        if (!m_problem.empty()) return Fail(m_problem);
        result.ok = true;
        result.bytes = std::move(m_out);
        return result;
    }

  private:
    ImageDiskRewrite Fail(const std::string& problem) {
        if (m_problem.empty()) m_problem = problem;
        ImageDiskRewrite result;
        result.problem = m_problem;
        return result;
    }
    void Copy(std::size_t from, std::size_t to) {
        m_out.insert(m_out.end(), m_in.begin() + static_cast<std::ptrdiff_t>(from),
                     m_in.begin() + static_cast<std::ptrdiff_t>(to));
    }
    bool Has(std::size_t at, std::size_t count) const { return m_in.size() - at >= count; }

    // One track record from at; where the next one starts.
    std::size_t Track(std::size_t at) {
        if (!Has(at, 5)) return Fail("the file ends inside a track header"), m_in.size();
        const int cylinder = m_in[at + 1];
        const int headByte = m_in[at + 2];
        const std::size_t count = m_in[at + 3];
        const int sizeCode = m_in[at + 4] & 7;
        const std::size_t maps =
            count * (1 + ((headByte & 0x80) ? 1 : 0) + ((headByte & 0x40) ? 1 : 0));
        const int head = headByte & 1;
        const PhysicalTrack* track = m_disk.FindTrack(cylinder, head);
        if (!Has(at, 5 + maps)) return Fail("the file ends inside a track header"), m_in.size();
        if (!track || track->sectors.size() != count || track->sizeCode != sizeCode)
            return Fail("the track record at " + Place(cylinder, head) +
                        " is not the one the disk was read from"),
                   m_in.size();
        if (!m_seen.insert({cylinder, head}).second)
            return Fail("the file records " + Place(cylinder, head) + " twice"), m_in.size();
        Copy(at, at + 5 + maps);
        at += 5 + maps;
        const std::size_t size = BytesOfCode(sizeCode);
        for (std::size_t s = 0; s < count && m_problem.empty(); ++s) {
            const PhysicalSector& sector = track->sectors[s];
            if (!Has(at, 1)) return Fail("the file ends inside a sector record"), m_in.size();
            const int type = m_in[at];
            const std::size_t length = 1 + (HoldsData(type) ? size : HoldsFill(type) ? 1 : 0);
            if (!HoldsData(type) && !HoldsFill(type))
                return Fail("sector " + std::to_string(sector.idSector) + " at " +
                            Place(cylinder, head) + " is unavailable"),
                       m_in.size();
            if (!Has(at, length)) return Fail("the file ends inside a sector record"), m_in.size();
            if (sector.changed)
                Sector(sector, HoldsData(type) ? type : type - 1);
            else
                Copy(at, at + length);
            at += length;
        }
        return at;
    }

    // A new record of data type dataType (1, 3, 5 or 7) for a changed sector.
    void Sector(const PhysicalSector& sector, int dataType) {
        std::vector<std::uint8_t> data(sector.size);
        m_disk.ReadSector(sector, 0, data);
        const bool uniform =
            !data.empty() &&
            std::all_of(data.begin(), data.end(), [&](std::uint8_t b) { return b == data[0]; });
        if (uniform) {
            m_out.push_back(static_cast<std::uint8_t>(dataType + 1));
            m_out.push_back(data[0]);
        } else {
            m_out.push_back(static_cast<std::uint8_t>(dataType));
            m_out.insert(m_out.end(), data.begin(), data.end());
        }
    }

    std::span<const std::uint8_t> m_in;
    const PhysicalDisk& m_disk;
    std::vector<std::uint8_t> m_out;
    std::set<std::pair<int, int>> m_seen;
    std::string m_problem;
};

} // namespace

ImageDiskRewrite RewriteImageDisk(std::span<const std::uint8_t> original,
                                  const PhysicalDisk& disk) {
    return Rewriter(original, disk).Run();
}
