#include "VersaDOSVolume.h"

#include "DisplaySink.h"
#include "SectorSource.h"
#include "modUtility.h"

namespace {

SectorState ReadInto(SectorSource& disk, std::int32_t lsn, Sector& buffer) {
    buffer.fill(0);
    if (lsn < 0) return SectorState::OutsideDisk;
    Sector read{};
    if (!disk.ReadSector(lsn, read)) return SectorState::Unreadable;
    buffer = read;
    return SectorState::Read;
}

} // namespace

std::string TextField(const Sector& sector, int offset, int length) {
    return std::string(sector.begin() + offset, sector.begin() + offset + length);
}

std::string Printable(const std::string& text) {
    std::string shown = text;
    for (char& c : shown)
        c = PrintableChar(static_cast<std::uint8_t>(c));
    return shown;
}

std::string Trim(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string ZeroPad(std::int64_t n, int width) {
    std::string digits = std::to_string(n < 0 ? -n : n);
    if (static_cast<int>(digits.size()) < width)
        digits.insert(0, static_cast<std::size_t>(width) - digits.size(), '0');
    return n < 0 ? "-" + digits : digits;
}

std::string RawSectorDump(const Sector& sector) {
    return CRLF + DumpLines(sector, [](std::size_t i) {
               return Hex8(static_cast<std::int64_t>(i)) + "  ";
           });
}

bool VersaDOSVolume::ReadVID(std::int32_t lsn) {
    m_vidState = ReadInto(m_disk, lsn, m_vidBuffer);
    const bool ok = m_vidState == SectorState::Read;
    const Sector& b = m_vidBuffer;
    m_vid.volumeName = TextField(b, 0, 4);
    m_vid.userNumber = GetWord(b, 4);
    m_vid.satStart = GetLong(b, 6);
    m_vid.satLength = GetWord(b, 10);
    m_vid.sdbPointer = GetLong(b, 12);
    m_vid.pdbPointer = GetLong(b, 16);
    m_vid.iplStart = GetLong(b, 20);
    m_vid.iplLength = GetWord(b, 24);
    m_vid.iplExecute = GetLong(b, 26);
    m_vid.iplLoad = GetLong(b, 30);
    m_vid.generationDate = GetLong(b, 34);
    m_vid.descriptor = TextField(b, 38, 20);
    m_vid.versionLong = GetLong(b, 58);
    m_vid.versionText = TextField(b, 58, 4);
    m_vid.checksum = GetWord(b, 62);
    m_vid.configSector = GetLong(b, 144);
    m_vid.ipcCode = GetByte(b, 149);
    m_vid.alternates = GetByte(b, 150);
    m_vid.magic = TextField(b, 248, 8);
    return ok;
}

bool VersaDOSVolume::ReadConfig(std::int32_t lsn) {
    m_configState = ReadInto(m_disk, lsn, m_configBuffer);
    const bool ok = m_configState == SectorState::Read;
    const Sector& b = m_configBuffer;
    m_config.attributesMask = GetWord(b, 4);
    m_config.parametersMask = GetWord(b, 6);
    m_config.attributesWord = GetWord(b, 8);
    m_config.sectorSize = GetWord(b, 10);
    m_config.totalSectors = GetLong(b, 12);
    m_config.sptOnMedia = GetByte(b, 24);
    m_config.heads = GetByte(b, 25);
    m_config.cylindersOnMedia = GetWord(b, 26);
    m_config.interleave = GetByte(b, 28);
    m_config.spiralOffset = GetByte(b, 29);
    m_config.physicalSectorSize = GetWord(b, 30);
    m_config.startingHead = GetWord(b, 32);
    m_config.cylindersOnDrive = GetWord(b, 34);
    m_config.physicalSptOnDrive = GetByte(b, 38);
    return ok;
}

int VersaDOSVolume::VIDChecksum() const {
    // One's complement of the XOR of every big-endian word except the stored checksum.
    int even = 0xFF, odd = 0xFF;
    for (int k = 0; k < 256; k += 2) {
        if (k == 62) continue;
        even ^= m_vidBuffer[k];
        odd ^= m_vidBuffer[k + 1];
    }
    return MakeLong(0, 0, LowByte(even), LowByte(odd));
}

void VersaDOSVolume::ReadNamedConfig() {
    if (m_vidState == SectorState::Read && m_configState == SectorState::NotRead)
        ReadConfig(m_vid.configSector);
}

bool VersaDOSVolume::IsVersaDOSVolume() {
    ReadVID(0);
    m_config = ConfigRecord{};
    m_configBuffer.fill(0);
    m_configState = SectorState::NotRead;
    if (m_vid.magic != "MOTOROLA" && m_vid.magic != "EXORMACS") return false;
    ReadConfig(m_vid.configSector);
    if (m_config.sectorSize != 256) return false;
    switch (m_config.attributesWord) {
    case 0x07:
    case 0x0F:
    case 0x47:
    case 0x4F:
    case 0x208:
    case 0x20D:
        return true;
    default:
        return false;
    }
}

void VersaDOSVolume::AppendVolumeLines(std::string& t, bool kestrel) const {
    // Sector 0 of a disk that holds no VersaDOS volume holds anything, control characters too.
    const VIDRecord& v = m_vid;
    t += Printable(Trim(v.volumeName)) + ":" + ZeroPad(v.userNumber, 4) + CRLF;
    t += Printable(Trim(v.descriptor)) + "  V/R " + Printable(v.versionText) + " (" +
         Hex8(v.versionLong) + ")" + CRLF;
    t += " Generation Date " + VersaDOSDate(v.generationDate) + " (" + Hex8(v.generationDate) +
         ")" + CRLF;
    t += " SAT Start   " + Hex8(v.satStart) + " SAT length  " + Hex8(v.satLength) + CRLF;
    t += " SDB Pointer " + Hex8(v.sdbPointer) + " PDB Pointer " + Hex8(v.pdbPointer) + CRLF;
    t += " IPL Start   " + Hex8(v.iplStart) + " IPL Length  " + Hex4(v.iplLength) + CRLF;
    t += " IPL Load    " + Hex8(v.iplLoad) + " IPL Execute " + Hex8(v.iplExecute) + CRLF;
    if (kestrel) {
        t += " IPC Code    " + Hex4(v.ipcCode) + CRLF;
        t += " Alternates  " + Hex4(v.alternates) + CRLF;
    }
    t += " Check Sum   " + Hex4(v.checksum) + CRLF;
    t += " Magic " + Printable(v.magic) + CRLF;
}

void VersaDOSVolume::AppendConfigLines(std::string& t) const {
    const ConfigRecord& c = m_config;
    auto dec = [](std::int64_t n) { return std::to_string(n); };
    t += "Configuration Parameters" + std::string(CRLF);
    if (m_configState != SectorState::Read) {
        t += Unshown("Configuration Area", m_vid.configSector, m_configState);
        return;
    }
    t += " Volume Attributes Word " + dec(c.attributesWord) + " (" + Hex4(c.attributesWord) + ")" +
         CRLF;
    t += " Volume Attributes Mask " + dec(c.attributesMask) + " (" + Hex4(c.attributesMask) + ")" +
         CRLF;
    t += " Volume Parameters Mask " + dec(c.parametersMask) + " (" + Hex4(c.parametersMask) + ")" +
         CRLF;
    t += " VersaDOS Sector Size " + dec(c.sectorSize) + " (" + Hex8(c.sectorSize) + ")" + CRLF;
    t +=
        " Total VersaDOS Sectors " + dec(c.totalSectors) + " (" + Hex8(c.totalSectors) + ")" + CRLF;
    t += " SPT on Media " + dec(c.sptOnMedia) + CRLF;
    t += " Heads " + dec(c.heads) + CRLF;
    t += " Cylinders on Media " + dec(c.cylindersOnMedia) + " (" + Hex8(c.cylindersOnMedia) + ")" +
         CRLF;
    t += " Interleave Factor " + dec(c.interleave) + CRLF;
    t += " Spiral Offset " + dec(c.spiralOffset) + CRLF;
    t += " Physical Sector Size " + dec(c.physicalSectorSize) + CRLF;
    t += " Starting Head Number " + dec(c.startingHead) + CRLF;
    t += " Cylinders on Drive " + dec(c.cylindersOnDrive) + " (" + Hex8(c.cylindersOnDrive) + ")" +
         CRLF;
    t += " Physical SPT on Drive " + dec(c.physicalSptOnDrive) + CRLF;
}

std::string VersaDOSVolume::Unshown(const std::string& what, std::int32_t lsn, SectorState state) {
    const std::string sector = " " + what + "   Sector " + Hex8(lsn);
    switch (state) {
    case SectorState::Read:
        return "";
    case SectorState::NotRead:
        return sector + " was not read" + CRLF;
    case SectorState::Unreadable:
        return sector + " could not be read" + CRLF;
    case SectorState::OutsideDisk:
        break;
    }
    return sector + " lies outside the disk" + CRLF;
}

void VersaDOSVolume::AppendRawConfig(std::string& t) const {
    if (m_configState != SectorState::Read) return;
    t += CRLF;
    t += " Raw Configuration Area    Sector " + Hex8(m_vid.configSector) + CRLF;
    t += RawSectorDump(m_configBuffer);
}

void VersaDOSVolume::ShowVolume(DisplaySink& sink) const {
    if (m_vidState != SectorState::Read) {
        sink.Append(Unshown("Volume ID", 0, m_vidState));
        return;
    }
    std::string t;
    AppendVolumeLines(t, true);
    const int computed = VIDChecksum();
    if (computed != m_vid.checksum) {
        t += CRLF;
        t += " BAD CHECKSUM - " + Hex4(m_vid.checksum) + " - should be " + Hex4(computed) + CRLF;
    }
    t += CRLF;
    AppendConfigLines(t);
    t += CRLF;
    t += " Raw Volume ID   Sector 00000000" + std::string(CRLF);
    t += RawSectorDump(m_vidBuffer);
    AppendRawConfig(t);
    sink.Append(t);
}

void VersaDOSVolume::ShowVolumeIDTamarin(DisplaySink& sink) const {
    std::string t = CRLF + std::string("Volume ID") + CRLF;
    if (m_vidState != SectorState::Read) {
        sink.Append(t + Unshown("Volume ID", 0, m_vidState));
        return;
    }
    AppendVolumeLines(t, false);
    t += CRLF;
    t += " Raw Volume ID   Sector 00000000" + std::string(CRLF);
    t += RawSectorDump(m_vidBuffer);
    sink.Append(t);
}

void VersaDOSVolume::ShowConfigTamarin(DisplaySink& sink) const {
    std::string t = CRLF;
    AppendConfigLines(t);
    AppendRawConfig(t);
    sink.Append(t);
}
