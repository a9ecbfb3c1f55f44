// The VersaDOS volume ID (logical sector 0) and configuration area. Sector 0 names the volume
// and points to the sector allocation table, the first secondary directory block, the IPL area
// and the configuration area; the configuration area describes the medium and the VersaDOS
// sector size. System V/68 disks carry the same sector 0.
#pragma once

#include <array>
#include <cstdint>
#include <string>

class DisplaySink;
class SectorSource;

using Sector = std::array<std::uint8_t, 256>;

struct VIDRecord {
    std::string volumeName; // 4 characters
    std::int32_t userNumber = 0;
    std::int32_t satStart = 0;
    std::int32_t satLength = 0;
    std::int32_t sdbPointer = 0;
    std::int32_t pdbPointer = 0;
    std::int32_t iplStart = 0;
    std::int32_t iplLength = 0;
    std::int32_t iplExecute = 0;
    std::int32_t iplLoad = 0;
    std::int32_t generationDate = 0;
    std::string descriptor; // 20 characters
    std::int32_t versionLong = 0;
    std::string versionText; // the same 4 bytes as characters
    std::int32_t checksum = 0;
    std::int32_t configSector = 0;
    int ipcCode = 0;
    int alternates = 0;
    std::string magic; // "MOTOROLA" or "EXORMACS" on a VersaDOS volume
};

// Configuration words are kept unsigned: words of 0x8000 and above show their real value.
struct ConfigRecord {
    std::int32_t attributesMask = 0;
    std::int32_t parametersMask = 0;
    std::int32_t attributesWord = 0;
    std::int32_t sectorSize = 0;
    std::int32_t totalSectors = 0;
    int sptOnMedia = 0;
    int heads = 0;
    std::int32_t cylindersOnMedia = 0;
    int interleave = 0;
    int spiralOffset = 0;
    std::int32_t physicalSectorSize = 0;
    std::int32_t startingHead = 0;
    std::int32_t cylindersOnDrive = 0;
    int physicalSptOnDrive = 0;
};

// What became of a sector the report shows: read, not asked for, or not there to be read.
enum class SectorState { Read, NotRead, Unreadable, OutsideDisk };

class VersaDOSVolume {
  public:
    explicit VersaDOSVolume(SectorSource& disk) : m_disk(disk) {}

    // Read and decode a sector; a sector that cannot be read leaves its buffer zeroed, and the
    // report says so instead of showing the zeros. A negative sector number lies outside any
    // disk and is not read.
    bool ReadVID(std::int32_t lsn);
    bool ReadConfig(std::int32_t lsn);
    // Reads the configuration area that sector 0 names when the volume test did not (sector 0
    // without the magic), so that the report of any disk shows what lies there.
    void ReadNamedConfig();
    int VIDChecksum() const;
    // Reads sector 0 and, when its magic is right, the configuration area.
    bool IsVersaDOSVolume();

    // The Volume ID and configuration report of Kestrel.
    void ShowVolume(DisplaySink& sink) const;
    // Tamarin's two steps: the volume ID lines with their raw dump, then the configuration.
    void ShowVolumeIDTamarin(DisplaySink& sink) const;
    void ShowConfigTamarin(DisplaySink& sink) const;

    const VIDRecord& VID() const { return m_vid; }
    const ConfigRecord& Config() const { return m_config; }
    const Sector& VIDBuffer() const { return m_vidBuffer; }
    SectorState ConfigState() const { return m_configState; }

  private:
    void AppendVolumeLines(std::string& text, bool kestrel) const;
    void AppendConfigLines(std::string& text) const;
    void AppendRawConfig(std::string& text) const;
    // The line that says why a sector is not shown; empty when it was read.
    static std::string Unshown(const std::string& what, std::int32_t lsn, SectorState state);

    SectorSource& m_disk;
    Sector m_vidBuffer{};
    Sector m_configBuffer{};
    VIDRecord m_vid;
    ConfigRecord m_config;
    SectorState m_vidState = SectorState::NotRead;
    SectorState m_configState = SectorState::NotRead;
};

// The raw dump of a 256-byte sector: an empty line, then rows of Hex8 offset, two blanks, 16
// hex bytes and their characters.
std::string RawSectorDump(const Sector& sector);

// Text of n bytes taken one by one as characters.
std::string TextField(const Sector& sector, int offset, int length);
// The same text as a dump shows it: bytes that are not printable as ".".
std::string Printable(const std::string& text);
// Leading and trailing blanks removed.
std::string Trim(const std::string& text);
// n in decimal, zero-filled to width digits ("0007").
std::string ZeroPad(std::int64_t n, int width);
