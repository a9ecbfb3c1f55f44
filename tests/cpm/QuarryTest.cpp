#include "QuarryTest.h"

#include "AddFiles.h"
#include "CpmNames.h"
#include "FileCommands.h"
#include "Golden.h"
#include "modFile.h"

#include <fstream>
#include <iterator>

ByteVector ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return ByteVector(std::istreambuf_iterator<char>(in), {});
}

void WriteFileBytes(const std::string& path, const ByteVector& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

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

ByteVector PaddedToRecords(ByteVector bytes, std::uint8_t pad) {
    bytes.resize((bytes.size() + 127) / 128 * 128, pad);
    return bytes;
}

std::string TestImage::Folder(const std::string& name) {
    return TempDir(name);
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

void TestImage::Open(const std::string& imagePath) {
    path = imagePath;
    session.image().SetName(path);
    session.image().SetReadOnlyRequested(false);
    session.DetectDiskFormat();
}

std::string TestImage::HostFile(const std::string& name, const ByteVector& bytes) {
    const std::string host = folder + "/" + name;
    WriteFileBytes(host, bytes);
    return host;
}

bool TestImage::Add(const std::string& hostPath, const std::string& cpmName) {
    session.directory().ShowAll();
    return DropFiles(session, {hostPath}, false, cpmName) == 1;
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

std::string CpmName(int user, const std::string& name, const std::string& type) {
    std::string n = name, t = type;
    n.resize(8, ' ');
    t.resize(3, ' ');
    return TwoDigits(user) + ":" + n + "." + t;
}
