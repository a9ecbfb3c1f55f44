#include "FileContents.h"

#include "DirEntry.h"
#include "DisplaySink.h"
#include "EventHook.h"
#include "FatVolume.h"
#include "OutputFile.h"
#include "modUtility.h"

#include <vector>

namespace {

// value in decimal, zero-filled to at least width digits.
void AppendDigits(std::string& out, std::int64_t value, int width) {
    char digits[24];
    const int count = std::snprintf(digits, sizeof digits, "%lld", static_cast<long long>(value));
    for (int i = count; i < width; ++i)
        out += '0';
    out.append(digits, static_cast<std::size_t>(count));
}

// The text display of one byte: printable characters, CR, LF and TAB as they are, any other
// byte as <XX>.
void AppendTextOfByte(std::string& out, std::uint8_t b) {
    if ((b >= 32 && b <= 126) || b == 13 || b == 10 || b == 9) {
        out += static_cast<char>(b);
    } else {
        out += '<';
        AppendHex(out, b, 2);
        out += '>';
    }
}

// Bytes read in one piece where a chain runs through consecutive clusters.
constexpr std::int64_t RunBytes = 512 * 1024;

// How far a walk got.
struct Walked {
    std::int64_t done = 0;   // bytes passed on
    bool shortChain = false; // a file's chain ended before its size: a read error too
};

// Walks the row's chain in runs of consecutive clusters, each read in one piece; onRun(first
// cluster, bytes) gets every run (a file's last run cut to its size) and returns false to stop.
// Clusters beyond a file's size are not read. A run that cannot be read whole is read again
// cluster by cluster, so that everything before the cluster that fails is passed on.
LoopEnd WalkRuns(FatVolume& volume, const DirEntry& row, EventHook& hook, Walked& walked,
                 const std::function<bool(std::int32_t, std::span<const std::uint8_t>)>& onRun) {
    std::int64_t& done = walked.done;
    done = 0;
    const bool isFile = row.IsFile();
    if (isFile && row.Size == 0) return LoopEnd::Complete;
    const std::vector<std::int32_t> chain = volume.ClusterChain(row.FirstCluster);
    const std::int64_t clusterBytes = volume.ClusterBytes();
    if (clusterBytes <= 0) return chain.empty() ? LoopEnd::Complete : LoopEnd::ReadError;
    const std::size_t longest =
        static_cast<std::size_t>(std::max<std::int64_t>(RunBytes / clusterBytes, 1));
    std::vector<std::uint8_t> data;
    std::size_t singleUntil = 0; // clusters before this index are read one at a time
    for (std::size_t i = 0; i < chain.size() && !(isFile && done >= row.Size);) {
        if (hook.Aborted()) return LoopEnd::Aborted;
        std::size_t count = 1;
        if (i >= singleUntil) {
            std::size_t wanted = longest;
            if (isFile)
                wanted = std::min<std::size_t>(
                    wanted,
                    static_cast<std::size_t>((row.Size - done + clusterBytes - 1) / clusterBytes));
            while (count < wanted && i + count < chain.size() &&
                   chain[i + count] == chain[i] + static_cast<std::int32_t>(count))
                ++count;
        }
        data.resize(count * static_cast<std::size_t>(clusterBytes));
        if (!volume.ReadClusters(chain[i], static_cast<std::int32_t>(count), data)) {
            if (count == 1) return LoopEnd::ReadError;
            singleUntil = i + count;
            continue;
        }
        std::span<const std::uint8_t> bytes(data);
        if (isFile && done + static_cast<std::int64_t>(bytes.size()) > row.Size)
            bytes = bytes.first(static_cast<std::size_t>(row.Size - done));
        if (!onRun(chain[i], bytes)) return LoopEnd::Aborted;
        done += static_cast<std::int64_t>(bytes.size());
        i += count;
    }
    // The chain ended (an end mark, a free or stray value, a loop) before the size was reached.
    walked.shortChain = isFile && done < row.Size;
    return walked.shortChain ? LoopEnd::ReadError : LoopEnd::Complete;
}

} // namespace

LoopEnd
ChainByteLoop(FatVolume& volume, const DirEntry& row, EventHook& hook,
              const std::function<void(std::int32_t, std::span<const std::uint8_t>)>& process) {
    const std::size_t clusterBytes = static_cast<std::size_t>(volume.ClusterBytes());
    Walked walked;
    return WalkRuns(volume, row, hook, walked,
                    [&](std::int32_t first, std::span<const std::uint8_t> run) {
                        for (std::size_t at = 0, k = 0; at < run.size(); at += clusterBytes, ++k) {
                            if (hook.Aborted()) return false;
                            process(first + static_cast<std::int32_t>(k),
                                    run.subspan(at, std::min(clusterBytes, run.size() - at)));
                            hook.ProcessEvents();
                        }
                        return true;
                    });
}

std::string TextOfByte(std::uint8_t b) {
    std::string text;
    AppendTextOfByte(text, b);
    return text;
}

void ShowText(FatVolume& volume, const DirEntry& row, DisplaySink& sink, EventHook& hook) {
    sink.Clear();
    PieceSink pieces(sink);
    std::string text;
    ChainByteLoop(volume, row, hook, [&](std::int32_t, std::span<const std::uint8_t> bytes) {
        text.clear();
        for (std::uint8_t b : bytes)
            AppendTextOfByte(text, b);
        pieces.Append(text);
    });
}

void ShowDump(FatVolume& volume, const DirEntry& row, DisplaySink& sink, EventHook& hook) {
    sink.Clear();
    PieceSink pieces(sink);
    std::string text;
    ChainByteLoop(volume, row, hook,
                  [&](std::int32_t cluster, std::span<const std::uint8_t> bytes) {
                      text.clear();
                      // Each line: cluster and offset in hex, the same in decimal, the bytes, the
                      // characters.
                      std::string clusterPart;
                      AppendHex(clusterPart, cluster, 4);
                      clusterPart += '-';
                      std::string decimalPart = " (";
                      AppendDigits(decimalPart, cluster, 4);
                      decimalPart += '-';
                      for (std::size_t j = 0; j < bytes.size(); j += 16) {
                          const std::size_t n = std::min<std::size_t>(16, bytes.size() - j);
                          text += clusterPart;
                          AppendHex(text, static_cast<std::int64_t>(j), 8);
                          text += decimalPart;
                          AppendDigits(text, static_cast<std::int64_t>(j), 7);
                          text += ')';
                          for (std::size_t k = 0; k < n; ++k) {
                              text += ' ';
                              AppendHex(text, bytes[j + k], 2);
                          }
                          if (n < 16) break;
                          text += ' ';
                          for (std::size_t k = 0; k < n; ++k)
                              text += PrintableChar(bytes[j + k]);
                          text += CRLF;
                      }
                      pieces.Append(text);
                  });
}

SaveResult SaveEntry(FatVolume& volume, const DirEntry& row, const std::string& path,
                     EventHook& hook) {
    SaveResult result;
    OutputFile out;
    if (!out.Open(path)) {
        result.Error = out.Error();
        return result;
    }
    Walked walked;
    result.End =
        WalkRuns(volume, row, hook, walked, [&](std::int32_t, std::span<const std::uint8_t> bytes) {
            if (!out.Write(bytes)) return false;
            hook.ProcessEvents();
            return !hook.Aborted();
        });
    if (out.Error()) result.Error = out.Error();
    if (result.End == LoopEnd::ReadError)
        result.Problem = walked.shortChain
                             ? "its cluster chain holds " + std::to_string(walked.done) +
                                   " of its " + std::to_string(row.Size) +
                                   " bytes; nothing was saved"
                             : "a cluster of its chain cannot be read; nothing was saved";
    // What was read of a file that cannot be read whole is not kept: a shorter file under the
    // file's name would pass for the whole one. The text and dump views still show it.
    if (!result.Saved() || !out.Close()) {
        if (out.Error()) result.Error = out.Error();
        out.Discard();
    }
    return result;
}
