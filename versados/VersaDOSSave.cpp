#include "VersaDOSSave.h"

#include "DisplaySink.h"
#include "EventHook.h"
#include "HostFolders.h"
#include "HostNames.h"
#include "OutputFile.h"
#include "Prompts.h"
#include "modUtility.h"

#include <algorithm>
#include <filesystem>
#include <set>

namespace fs = std::filesystem;

namespace {

void ReportWriteError(Prompts& prompts, const HostError& error) {
    std::string text = ErrorReport(error, "Kestrel") + CRLF;
    if (error.number == RunTimeError::PathFileAccessError) {
        text += "File may be Hidden or System" + std::string(CRLF);
    } else {
        text += "Files on a network share that is not marked for full control may fail to open.";
        text += CRLF;
        text += "The network share MUST be Read and Writable (FULL control) even if you open the "
                "file as R/O";
        text += CRLF;
    }
    prompts.MessageBox("Error", text);
}

// Writes what produce() writes; on any failure the partial file is removed and reported.
template <typename Produce>
bool WriteHostFile(const std::string& path, Prompts& prompts, Produce produce) {
    OutputFile out;
    if (!out.Open(path)) {
        ReportWriteError(prompts, out.Error());
        return false;
    }
    const bool complete = produce(out);
    if (!complete || !out.Close()) {
        if (out.Error()) ReportWriteError(prompts, out.Error());
        out.Discard();
        return false;
    }
    return true;
}

} // namespace

bool SaveDataBlocks(VersaDOSFile& file, const DirEntry& entry, const std::string& path,
                    Prompts& prompts) {
    return WriteHostFile(path, prompts, [&](OutputFile& out) {
        return file.WalkData(
            entry, [&](std::int32_t, std::span<const std::uint8_t> s) { return out.Write(s); },
            [&](const FABSegment&, std::span<const std::uint8_t> b) { return out.Write(b); });
    });
}

bool SaveRecords(VersaDOSFile& file, const DirEntry& entry, const std::string& path,
                 const RecordOptions& options, Prompts& prompts) {
    const bool variable = entry.recordLength == 0;
    const std::size_t key = static_cast<std::size_t>(std::max(entry.keyLength, 0));
    std::string bytes; // one block's records, reused from block to block
    return WriteHostFile(path, prompts, [&](OutputFile& out) {
        return file.WalkData(
            entry, [&](std::int32_t, std::span<const std::uint8_t> s) { return out.Write(s); },
            [&](const FABSegment& segment, std::span<const std::uint8_t> block) {
                bytes.clear();
                VersaDOSFile::ForEachRecord(
                    entry, segment, block, [&](std::span<const std::uint8_t> record) {
                        const auto* data = reinterpret_cast<const char*>(record.data());
                        const std::size_t length = record.size();
                        if (variable && options.lengthPrefix) {
                            const char high = static_cast<char>(length >> 8);
                            const char low = static_cast<char>(length & 0xFF);
                            bytes += options.littleEndian ? low : high;
                            bytes += options.littleEndian ? high : low;
                        }
                        std::size_t copied = 0;
                        if (variable && options.expandSpaces) {
                            // Compressed blanks after the key: a byte b of 128 or more stands
                            // for (b and 127) blanks. The bytes between them go as runs.
                            for (std::size_t i = key; i < length; ++i) {
                                const std::uint8_t b = record[i];
                                if (b < 128) continue;
                                bytes.append(data + copied, i - copied);
                                bytes.append(b & 127, ' ');
                                copied = i + 1;
                            }
                        }
                        bytes.append(data + copied, length - copied);
                        if (options.crlf) bytes += CRLF;
                    });
                return out.Write(bytes);
            });
    });
}

SaveAllSummary SaveAll(VersaDOSCatalog& catalog, VersaDOSFile& file, const VersaDOSVolume& volume,
                       const std::vector<ListItem>& catalogs, const std::string& target,
                       DisplaySink& sink, EventHook& hook, Prompts& prompts, double failureDelay,
                       const DamageLookup& damaged) {
    hook.SetAbort(false);
    catalog.BuildCatalogTable(catalogs);
    sink.Clear();
    // One line per file: the pane takes them in pieces.
    PieceSink pieces(sink);
    SaveAllSummary summary;
    summary.total = catalog.CatalogTable().size();
    SaveNames names;
    std::set<std::string> reported; // folders that could not be made, said once each

    for (const CatalogFile& row : catalog.CatalogTable()) {
        pieces.FlushIfDue();
        hook.ProcessEvents();
        if (hook.Aborted()) break;
        const DirEntry& entry = row.entry;
        std::vector<std::string> parts = {SafeComponent(Trim(volume.VID().volumeName)),
                                          "U" + ZeroPad(row.userNumber, 4)};
        const std::string catalogName = Trim(row.catalogName);
        if (!catalogName.empty()) parts.push_back(SafeComponent(catalogName));
        fs::path folder(target);
        for (const std::string& part : parts)
            folder /= part;
        // Two files of one catalog may have the same name, and names made safe may meet.
        const std::string wanted =
            SafeComponent(Trim(entry.fileName) + "." + Trim(entry.extension));
        const std::string name = names.Claim(folder.string(), wanted);
        const fs::path path = folder / name;
        const std::string renamed =
            name == wanted ? "" : " (renamed: another file here is named " + wanted + ")";

        // A folder that cannot be made fails every file meant for it.
        std::string problem;
        if (!MakeFolders(target, parts, problem)) {
            if (reported.insert(problem).second) prompts.MessageBox("Save All", problem);
            pieces.Append("Failed - " + path.string() + renamed + CRLF);
            ++summary.failed;
            continue;
        }
        if (entry.fileType != 0 && !file.ReadFABChain(entry.fileStart, entry.fabLength)) {
            pieces.Append("Saving - " + path.string() + renamed + CRLF);
            pieces.Append("CurDir - " + folder.string() + CRLF);
            ++summary.failed;
            pieces.Flush();
            Delay(failureDelay, hook);
            continue;
        }
        if (SaveRecords(file, entry, path.string(), DefaultRecordOptions(entry), prompts)) {
            const std::string damage = damaged ? damaged(row) : "";
            pieces.Append("Saved - " + path.string() + renamed +
                          (damage.empty() ? "" : " (" + damage + ")") + CRLF);
            ++summary.saved;
            if (!damage.empty()) ++summary.damaged;
        } else {
            pieces.Append("Failed - " + path.string() + renamed + CRLF);
            ++summary.failed;
        }
    }
    pieces.Append(
        std::string(CRLF) + " Total Files  - " + std::to_string(summary.total) + "  Saved - " +
        std::to_string(summary.saved) + "  Failed - " + std::to_string(summary.failed) +
        (summary.damaged > 0 ? "  With damaged bytes - " + std::to_string(summary.damaged) : "") +
        CRLF);
    return summary;
}
