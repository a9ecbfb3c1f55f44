#include "FatExplorer.h"

#include "DiskContainer.h"
#include "DisplaySink.h"
#include "EventHook.h"
#include "FatDamage.h"
#include "LongName.h"
#include "OpenWith.h"
#include "Partitions.h"
#include "Prompts.h"
#include "RawDrive.h"

#include <array>
#include <exception>
#include <sstream>

ImageOpener OspreyImageOpener() {
    return ImageOpener(SectorView::Bytes512, "Osprey", "Osprey");
}

std::vector<std::pair<std::int64_t, std::int64_t>> VolumeDamage(OpenedImage& image,
                                                                std::int64_t offset) {
    std::vector<std::pair<std::int64_t, std::int64_t>> ranges;
    if (DiskContainer* container = image.Container())
        for (const DamagedRange& d : container->Flat().Damage())
            if (d.start + d.length > offset)
                ranges.emplace_back(d.start - offset, d.start + d.length - offset);
    return ranges;
}

FatExplorer::FatExplorer(Prompts& prompts, EventHook& hook) : m_prompts(prompts), m_hook(hook) {}

OpenOutcome FatExplorer::Open(const std::string& path, const ImageOpener& opener,
                              DisplaySink& sink) {
    Close();
    OpenChoices choices = opener.Choices();
    choices.partitionOffset = m_partitionOffset;
    std::unique_ptr<OpenedImage> image = opener.Open(path, choices, m_prompts);
    return image ? Attach(std::move(image), sink) : OpenOutcome::Failed;
}

void FatExplorer::Close() {
    m_open = false;
    m_volume.reset();
    m_image.reset();
    m_volumeId.clear();
    m_systemId = {};
    m_path.Reset();
    m_table.ClearEntries();
    m_list = {};
    m_fileTitle.clear();
}

void FatExplorer::Refuse(const std::string& title, const std::string& text, DisplaySink& sink) {
    sink.Clear();
    sink.Append(RawBootSector(m_volume->Boot()));
    m_prompts.MessageBox(title, WithOpenWithHint(text, m_image ? m_image->Path() : std::string()));
    Close();
}

OpenOutcome FatExplorer::Attach(std::unique_ptr<OpenedImage> image, DisplaySink& sink) {
    Close();
    m_image = std::move(image);
    m_fileTitle = m_image->FileTitle();
    SectorSource& source = *m_image;
    try {
        m_volumeId.clear();
        m_systemId = {};
        m_path.Reset();
        m_volume = std::make_unique<FatVolume>(source);

        std::array<std::uint8_t, 512> sector{};
        if (source.SectorSize() <= 512 && 512 % source.SectorSize() == 0 &&
            !source.ReadSectors(0, 512 / source.SectorSize(), sector))
            sector.fill(0);
        m_volume->SetBootSector(sector);
        const BootSector& boot = m_volume->Boot();
        const std::string systemId = HasVolumeLabel(boot) ? boot.SystemId : "";
        m_volumeId = HasVolumeLabel(boot) ? TrimBlanks(boot.VolumeLabel) : "";

        const int fatType = FatTypeFor(m_volume->Layout().ClusterCount);
        m_volume->SetFatType(fatType);
        m_systemId = SetFatType(fatType, systemId);
        if (fatType == 32) {
            Refuse("Bad FAT type", "FAT32 is not supported", sink);
            return OpenOutcome::Refused;
        }

        m_list = {};
        if (!HasBootSignature(boot)) {
            Refuse("Bad Boot Sector", "No Boot Signature", sink);
            return OpenOutcome::Refused;
        }
        // A master boot record also ends in the signature; without a BIOS parameter block it is
        // no volume but the map of a partitioned disk.
        if (boot.SectorsPerCluster == 0 || boot.BytesPerSector == 0) {
            const auto partitions = ReadPartitionTable(sector);
            if (partitions && !partitions->empty()) {
                Refuse("Bad Boot Sector",
                       "This is a partition table, not a FAT boot sector: set the "
                       "partition offset to the start of a partition",
                       sink);
                return OpenOutcome::Refused;
            }
        }
        m_open = true;
        if (RawDrive* raw = m_image->Raw()) {
            RawDriveSlot& slot = raw->Slot();
            slot.SectorsPerTrack = boot.SectorsPerTrack;
            slot.Heads = boot.NumberOfHeads;
            slot.PhysicalSectorSize = boot.BytesPerSector;
            slot.LogicalSectorSize = boot.BytesPerSector;
        }

        m_volume->SetDamagedBytes(VolumeDamage(*m_image, m_partitionOffset));
        m_volume->LoadFats();
        m_volume->LoadRootDirectory();
        LoadDirectory(0);

        if (m_image->AvailableBytes() >= 0) {
            const std::int64_t available = m_image->AvailableBytes();
            const std::int64_t needed = m_volume->VolumeEndByte();
            if (available < needed) {
                std::ostringstream text;
                text << "The volume needs " << needed << " bytes, but the image holds "
                     << std::max<std::int64_t>(available, 0)
                     << " from the partition offset on; what lies beyond cannot be read";
                m_prompts.MessageBox("Image Too Short", text.str());
            }
        }
        return OpenOutcome::Opened;
    } catch (const std::exception& e) {
        m_prompts.MessageBox("Error", e.what());
        Close();
        return OpenOutcome::Failed;
    }
}

void FatExplorer::LoadDirectory(std::int64_t cluster) {
    m_directoryCluster = cluster;
    m_table.LoadDirectory(*m_volume, cluster);
    m_list = m_table.ListDirectory();
    if (m_list.VolumeLabel) m_volumeId = *m_list.VolumeLabel;
    if (!m_table.ReadProblem().empty()) m_prompts.MessageBox("Directory", m_table.ReadProblem());
}

bool FatExplorer::EnterDirectory(int i) {
    if (!m_open || i < 0 || i >= m_table.Count() || !m_table.Row(i).IsDirectory()) return false;
    const std::int64_t cluster = m_table.Row(i).FirstCluster;
    const bool deleted = m_table.Row(i).Deleted;
    // A directory that starts outside the data area has nothing to list, and entering it
    // would leave a list without a way back up. A deleted directory at cluster 0 is no root.
    if ((cluster != 0 || deleted) && m_volume->ClusterChain(cluster).empty()) {
        m_prompts.MessageBox("Directory", EntryName(m_table.Row(i)) + " starts at cluster " +
                                              std::to_string(cluster) +
                                              ", which is not a data cluster of this volume");
        return false;
    }
    std::string inUse;
    if (deleted && m_volume->FatEntry(cluster) != 0)
        inUse = EntryName(m_table.Row(i)) + ": its cluster " + std::to_string(cluster) +
                " is now held by a live file, so what is listed may not be its entries";
    m_path.ChangeDirectory(m_table, i);
    if (deleted) {
        m_directoryCluster = cluster;
        m_table.LoadDirectory(*m_volume, cluster, true);
        m_list = m_table.ListDirectory();
        if (!m_table.ReadProblem().empty())
            m_prompts.MessageBox("Directory", m_table.ReadProblem());
    } else {
        LoadDirectory(cluster);
    }
    if (!inUse.empty()) m_prompts.MessageBox("Directory", inUse);
    return true;
}

void FatExplorer::SetShowDeleted(bool on) {
    m_table.SetShowDeleted(on);
    if (m_open) m_list = m_table.ListDirectory();
}

RecoveryResult FatExplorer::RecoverRow(int i, char first, const std::string& path,
                                       DisplaySink& sink) {
    if (!m_open || i < 0 || i >= m_table.Count() || !m_table.Row(i).Deleted ||
        !m_table.Row(i).IsFile()) {
        RecoveryResult none;
        none.Plan.Problem = "not a deleted file";
        return none;
    }
    return RecoverEntry(*m_volume, m_table.Row(i), first, path, sink, m_hook);
}

void FatExplorer::ShowBootSector(DisplaySink& sink) {
    if (!m_open) return;
    sink.Clear();
    sink.Append(BootSectorInfo(m_volume->Boot()));
    sink.Append(RawBootSector(m_volume->Boot()));
}

void FatExplorer::ShowFat0(DisplaySink& sink) {
    if (!m_open) return;
    sink.Clear();
    sink.Append(m_volume->FatText());
}

void FatExplorer::ShowDirectoryListing(DisplaySink& sink) {
    if (!m_open) return;
    sink.Clear();
    sink.Append(m_table.DirectoryListing());
}

void FatExplorer::ShowRawRootDirectory(DisplaySink& sink) {
    if (!m_open) return;
    sink.Clear();
    sink.Append(m_volume->RawRootDirectory());
}

void FatExplorer::ShowRow(int i, DisplayOption option, DisplaySink& sink) {
    if (!m_open || i < 0 || i >= m_table.Count()) return;
    const DirEntry& row = m_table.Row(i);
    const bool directory = row.IsDirectory();
    if (option == DisplayOption::Entry || (option == DisplayOption::Text && directory)) {
        sink.Clear();
        sink.Append(FormatEntry(row, true));
    } else if (option == DisplayOption::Text) {
        ShowText(*m_volume, row, sink, m_hook);
    } else if (directory && row.FirstCluster == 0) {
        ShowRawRootDirectory(sink);
    } else {
        ShowDump(*m_volume, row, sink, m_hook);
    }
}

SaveResult FatExplorer::SaveRow(int i, const std::string& path) {
    if (!m_open || i < 0 || i >= m_table.Count()) return {LoopEnd::ReadError, {}, {}, {}};
    SaveResult result = SaveEntry(*m_volume, m_table.Row(i), path, m_hook);
    if (result.Saved()) {
        const std::string folder = m_path.PathText();
        result.Damaged =
            SavedFatDamage(*m_volume, m_table.Row(i),
                           (folder == "/" ? "" : folder) + "/" + DefaultFileName(m_table.Row(i)));
    }
    return result;
}

SaveAllResult FatExplorer::SaveAllFiles(const std::string& target, DisplaySink& sink) {
    if (!m_open) return {};
    return SaveAll(*m_volume, m_table, m_path, m_fileTitle, target, sink, m_hook);
}

SaveAllResult FatExplorer::SaveAllTree(const std::string& target, DisplaySink& sink) {
    if (!m_open) return {};
    return ::SaveAllTree(*m_volume, m_table, m_directoryCluster, m_path, m_fileTitle, target, sink,
                         m_hook);
}

std::optional<int> FatExplorer::FindRow(const std::string& name, bool* ambiguous) const {
    if (ambiguous) *ambiguous = false;
    auto names = [&](const DirEntry& row, auto same) {
        return same(EntryName(row), name) || (!row.LongName.empty() && same(row.LongName, name));
    };
    const auto exact = [](const std::string& a, const std::string& b) { return a == b; };
    const auto anyCase = [](const std::string& a, const std::string& b) {
        return SameNameIgnoringCase(a, b);
    };
    std::vector<int> rows;
    for (const bool deleted : {false, true})
        for (const ListLine& line : m_list.Lines)
            if (m_table.Row(line.Row).Deleted == deleted) rows.push_back(line.Row);
    for (int row : rows)
        if (names(m_table.Row(row), exact)) return row;
    // Long names keep their case, so "Readme.txt" and "README.TXT" can both be there: a name
    // that matches several only by case names none of them.
    std::optional<int> found;
    for (int row : rows) {
        if (!names(m_table.Row(row), anyCase)) continue;
        if (found) {
            if (ambiguous) *ambiguous = true;
            return std::nullopt;
        }
        found = row;
    }
    return found;
}

std::optional<int> FatExplorer::GoToPath(const std::string& path, bool enterLast,
                                         std::string& problem) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(path);
    while (std::getline(in, part, '/'))
        if (!part.empty()) parts.push_back(part);
    if (parts.empty()) return 0;

    std::string walked;
    for (std::size_t k = 0; k < parts.size(); ++k) {
        walked += "/" + parts[k];
        bool ambiguous = false;
        const std::optional<int> row = FindRow(parts[k], &ambiguous);
        if (!row) {
            problem = walked + (ambiguous ? ": several entries differ only in case; give the "
                                            "exact name"
                                          : ": no such file or directory");
            return std::nullopt;
        }
        const bool last = k + 1 == parts.size();
        if (last && !enterLast) return row;
        if (!m_table.Row(*row).IsDirectory()) {
            problem = walked + ": not a directory";
            return std::nullopt;
        }
        EnterDirectory(*row);
        if (last) return m_list.Lines.empty() ? -1 : m_list.Lines[0].Row;
    }
    return -1;
}
