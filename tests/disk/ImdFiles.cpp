#include "ImdFiles.h"

#include "Golden.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

std::string WriteTempImage(const ByteString& bytes, const std::string& name) {
    const std::string path = (std::filesystem::path(TempDir(name)) / name).string();
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return path;
}

OpenedImd::OpenedImd(const ByteString& bytes, const std::string& name)
    : path(WriteTempImage(bytes, name)) {
    files.OpenForRead(1, path);
    reader.FileNumber(1);
}

bool OpenedImd::Process() {
    if (!reader.IsIMDfile()) return false;
    reader.ProcessIMDfile();
    return true;
}

ProcessedImd::ProcessedImd(const ImdBuilder& imd, const std::string& name)
    : OpenedImd(imd.Build(), name) {
    EXPECT_TRUE(Process()) << "signature refused";
}

Drive::Drive(const ByteString& bytes, const std::string& name) : path(WriteTempImage(bytes, name)) {
    result = drive.OpenImage(path, name);
}

ByteString Drive::Read(std::int32_t lsn) {
    if (!drive.ReadSector(lsn)) return {};
    return ByteString(drive.SectorBuffer().begin(), drive.SectorBuffer().end());
}

ImdTrack Track256(int cylinder, int head, int count) {
    return ImdTrack::Uniform(cylinder, head, count, ImdSize::S256, ImdMode::Mfm500);
}

ImdBuilder TracksOf(const std::vector<ImdTrack>& tracks, const std::string& comment) {
    ImdBuilder imd(comment);
    for (const ImdTrack& track : tracks)
        imd.AddTrack(track);
    return imd;
}

ImdBuilder EightInch(int cylinders) {
    ImdBuilder imd("VersaDOS test disk");
    imd.AddTrack(ImdTrack::Uniform(0, 0, 26, ImdSize::S128, ImdMode::Fm500));
    for (int t = 1; t < cylinders * 2; ++t)
        imd.AddTrack(Track256(t / 2, t % 2, 26));
    return imd;
}

ByteString SectorBytes(int cylinder, int head, int sector, int size) {
    ByteString bytes(static_cast<std::size_t>(size));
    for (int b = 0; b < size; ++b)
        bytes[static_cast<std::size_t>(b)] = ImdTrack::DefaultContent(cylinder, head, sector, b);
    return bytes;
}

std::int32_t OffsetAt(classIMDfile& reader, std::int32_t track, std::int32_t sector) {
    reader.rqTrack(track);
    reader.rqPhySector(sector);
    return reader.PhySectorOffset();
}

std::int32_t RecordPosition(const ImdBuilder& imd, std::size_t trackInFile, std::size_t slot) {
    // The bytes before the wanted track are those of an image of the tracks before it.
    ImdBuilder prefix = imd;
    prefix.Tracks().resize(trackInFile);
    std::size_t position = prefix.Build().size() + 1;
    const ImdTrack& track = imd.Tracks()[trackInFile];
    const auto has = [&](auto member) {
        return std::any_of(track.sectors.begin(), track.sectors.end(),
                           [&](const ImdSector& s) { return (s.*member).has_value(); });
    };
    const std::size_t maps =
        1 + (has(&ImdSector::cylinderId) ? 1 : 0) + (has(&ImdSector::headId) ? 1 : 0);
    position += 5 + track.sectors.size() * maps;
    for (std::size_t i = 0; i < slot; ++i) {
        const ImdSector& s = track.sectors[i];
        position += 1;
        if (s.type >= 1 && s.type <= 8 && s.type % 2 == 1)
            position += s.data.size();
        else if (s.type >= 2 && s.type <= 8)
            position += 1;
    }
    return static_cast<std::int32_t>(position);
}
