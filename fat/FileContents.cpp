#include "FileContents.h"

#include "DirEntry.h"
#include "DisplaySink.h"
#include "EventHook.h"
#include "FatVolume.h"
#include "modUtility.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <vector>

namespace {

std::string Digits(std::int64_t value, int width) {
    std::string text = std::to_string(value);
    if (static_cast<int>(text.size()) < width)
        text.insert(0, static_cast<std::size_t>(width) - text.size(), '0');
    return text;
}

} // namespace

LoopEnd
ChainByteLoop(FatVolume& volume, const DirEntry& row, EventHook& hook,
              const std::function<void(std::int32_t, std::span<const std::uint8_t>)>& process) {
    const bool isFile = row.IsFile();
    if (isFile && row.Size == 0) return LoopEnd::Complete;
    std::int64_t done = 0;
    std::vector<std::uint8_t> data;
    for (std::int32_t cluster : volume.ClusterChain(row.FirstCluster)) {
        if (hook.Aborted()) return LoopEnd::Aborted;
        if (!volume.ReadCluster(cluster, data)) return LoopEnd::ReadError;
        std::span<const std::uint8_t> bytes(data);
        if (isFile && done + static_cast<std::int64_t>(bytes.size()) > row.Size)
            bytes = bytes.first(static_cast<std::size_t>(row.Size - done));
        process(cluster, bytes);
        done += static_cast<std::int64_t>(bytes.size());
        hook.ProcessEvents();
        if (isFile && done >= row.Size) break;
    }
    return LoopEnd::Complete;
}

std::string TextOfByte(std::uint8_t b) {
    if ((b >= 32 && b <= 126) || b == 13 || b == 10 || b == 9)
        return std::string(1, static_cast<char>(b));
    return "<" + Hex2(b) + ">";
}

void ShowText(FatVolume& volume, const DirEntry& row, DisplaySink& sink, EventHook& hook) {
    sink.Clear();
    ChainByteLoop(volume, row, hook, [&](std::int32_t, std::span<const std::uint8_t> bytes) {
        std::string text;
        text.reserve(bytes.size() + bytes.size() / 8);
        for (std::uint8_t b : bytes)
            text += TextOfByte(b);
        sink.Append(text);
    });
}

void ShowDump(FatVolume& volume, const DirEntry& row, DisplaySink& sink, EventHook& hook) {
    sink.Clear();
    ChainByteLoop(volume, row, hook,
                  [&](std::int32_t cluster, std::span<const std::uint8_t> bytes) {
                      std::string text;
                      text.reserve(bytes.size() / 16 * 100 + 100);
                      const std::string clusterHex = Hex4(cluster);
                      const std::string clusterDec = Digits(cluster, 4);
                      for (std::size_t j = 0; j < bytes.size(); j += 16) {
                          const std::size_t n = std::min<std::size_t>(16, bytes.size() - j);
                          text += clusterHex + "-" + Hex8(static_cast<std::int64_t>(j)) + " (" +
                                  clusterDec + "-" + Digits(static_cast<std::int64_t>(j), 7) + ")";
                          for (std::size_t k = 0; k < n; ++k)
                              text += " " + Hex2(bytes[j + k]);
                          if (n < 16) break;
                          text += " ";
                          for (std::size_t k = 0; k < n; ++k)
                              text += PrintableChar(bytes[j + k]);
                          text += CRLF;
                      }
                      sink.Append(text);
                  });
}

SaveResult SaveEntry(FatVolume& volume, const DirEntry& row, const std::string& path,
                     EventHook& hook) {
    SaveResult result;
    std::error_code ec;
    if (std::filesystem::is_symlink(path, ec) || std::filesystem::is_regular_file(path, ec))
        std::filesystem::remove(path, ec);
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) {
        result.Error = HostErrorFromErrno(errno, path);
        return result;
    }
    int writeError = 0;
    result.End =
        ChainByteLoop(volume, row, hook, [&](std::int32_t, std::span<const std::uint8_t> bytes) {
            if (writeError == 0 && !bytes.empty() &&
                std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size())
                writeError = errno != 0 ? errno : EIO;
        });
    if (std::fclose(out) != 0 && writeError == 0) writeError = errno != 0 ? errno : EIO;
    if (writeError != 0) result.Error = HostErrorFromErrno(writeError, path);
    if (!result.Saved()) std::filesystem::remove(path, ec);
    return result;
}
