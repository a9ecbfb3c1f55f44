#include "QuarryTest.h"

#include "AddFiles.h"
#include "FileCommands.h"
#include "modFile.h"

#include <gtest/gtest.h>

ByteVector PatternBytes(std::size_t size, unsigned seed) {
    ByteVector bytes(size);
    std::uint32_t x = 2463534242u ^ (seed * 2654435761u);
    for (std::size_t i = 0; i < size; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        bytes[i] = static_cast<std::uint8_t>(x);
    }
    return bytes;
}

DirEntry MakeEntry(int status, const std::string& cpmName, int ex, int rc,
                   const std::vector<int>& blocks, bool eightBit) {
    DirEntry e;
    e.SetName(cpmName, status);
    e.bytes[12] = static_cast<std::uint8_t>(ex);
    e.bytes[15] = static_cast<std::uint8_t>(rc);
    for (std::size_t i = 0; i < blocks.size(); ++i)
        SetBlockPointer(e, static_cast<int>(i), blocks[i], eightBit);
    return e;
}

TestImage::TestImage(const std::string& format, std::uint8_t fill, const std::string& name) {
    static int count = 0;
    folder = TempDir(name + "-" + format + "-" + std::to_string(++count));
    path = folder + "/image.img";
    DiskFormat f;
    f.SetDiskFormat(format);
    WriteFileBytes(path, ByteVector(static_cast<std::size_t>(f.ImageSize), fill));
    Open(path);
    session.SelectDiskFormat(format);
}

void TestImage::Open(const std::string& imagePath, bool readOnly) {
    path = imagePath;
    OpenImage(path, readOnly);
}

std::string TestImage::HostFile(const std::string& name, const ByteVector& bytes) {
    const std::string host = folder + "/" + name;
    WriteFileBytes(host, bytes);
    return host;
}

bool TestImage::Add(const std::string& hostPath, const std::string& cpmName) {
    session.directory().ShowAll(out);
    return DropFiles(session, out, {hostPath}, false, cpmName) == 1;
}

void TestImage::Put(int n, const DirEntry& entry) {
    session.directory().CurrentEntry() = entry;
    ASSERT_TRUE(session.directory().WriteDirEntry(n));
}

ByteVector TestImage::Upload(const std::string& cpmName) {
    NoSettings settings;
    modFile files(ProgramCopy::Quarry, prompts, settings);
    const std::string out = folder + "/upload.bin";
    std::remove(out.c_str());
    prompts.fileAnswers.push_back({out, false});
    Select(cpmName);
    UploadFile(session, files);
    return ReadFileBytes(out);
}

std::vector<int> TestImage::Blocks(const std::string& cpmName) {
    session.directory().ScanDirectory(cpmName.substr(0, 2), cpmName.substr(3, 8),
                                      cpmName.substr(12, 3), ListMode::BLOCKLIST, true);
    return session.directory().BlockList();
}
