// Osprey's explorer: one FAT volume opened from an image (a flat image, a block device or any
// container of a floppy) at a partition offset, the directory on show with its path, and every
// action of the window and the command line. Both call these functions; what they show goes to
// the display sink passed with each call and the message boxes to the prompts, so that the
// window, the command line and the tests see the same texts.
#pragma once

#include "DirectoryTable.h"
#include "ExplorerSession.h"
#include "FatBoot.h"
#include "FatVolume.h"
#include "FileContents.h"
#include "ImageOpener.h"
#include "PathStack.h"
#include "Recovery.h"
#include "SaveAll.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class DisplaySink;
class EventHook;
class Prompts;

// Opens images as 512-byte sectors, with Osprey's error source.
ImageOpener OspreyImageOpener();

// The byte ranges of the volume at offset that the image's container could not read.
std::vector<std::pair<std::int64_t, std::int64_t>> VolumeDamage(OpenedImage& image,
                                                                std::int64_t offset);

// The three ways a selected row is shown.
enum class DisplayOption { Entry = 0, Text = 1, Dump = 2 };

class FatExplorer : public ExplorerSession {
  public:
    FatExplorer(Prompts& prompts, EventHook& hook);

    // The byte offset of the volume in the image; it takes effect at the next open.
    void SetPartitionOffset(std::int64_t offset) { m_partitionOffset = offset; }
    std::int64_t PartitionOffset() const { return m_partitionOffset; }

    // Closes any open image, opens path read-only through opener (as 512-byte sectors, at the
    // partition offset) and attaches it.
    OpenOutcome Open(const std::string& path, const ImageOpener& opener,
                     DisplaySink& sink) override;
    // The opening checks: the FAT type by cluster count, then the boot signature; lists the
    // root. A refused volume is closed, its boot sector shown in sink. The image's file title
    // names the Save All folder.
    OpenOutcome Attach(std::unique_ptr<OpenedImage> image, DisplaySink& sink) override;
    void Close() override;
    bool IsOpen() const override { return m_open; }
    // Reads of the image that failed since it was opened: a report made meanwhile has gaps.
    std::int64_t FailedReads() const { return m_image ? m_image->FailedReads() : 0; }
    const std::string& FileTitle() const { return m_fileTitle; }

    const std::string& VolumeIdLabel() const { return m_volumeId; }
    const SystemIdLabel& SystemId() const { return m_systemId; }
    std::string DirectoryLabel() const { return m_path.DirectoryLabel(); }

    // Reads a directory (0: the root) into the table and makes its list.
    void LoadDirectory(std::int64_t cluster);
    const DirectoryList& List() const { return m_list; }
    // Enters the directory of row i (changing the path first); false for a row that is not a
    // directory or one whose first cluster is no data cluster (a message says so). A deleted
    // directory is read from its first cluster alone.
    bool EnterDirectory(int i);
    // Whether the list shows deleted files and directories too; the list is made again.
    void SetShowDeleted(bool on);
    bool ShowDeleted() const { return m_table.ShowDeleted(); }

    void ShowBootSector(DisplaySink& sink);
    void ShowFat0(DisplaySink& sink);
    void ShowDirectoryListing(DisplaySink& sink);
    void ShowRawRootDirectory(DisplaySink& sink);
    void ShowRow(int i, DisplayOption option, DisplaySink& sink);
    // Saves row i to path; the result says why a save failed.
    SaveResult SaveRow(int i, const std::string& path);
    // Save All of the directory on show into target; SaveAllTree with every directory below it.
    SaveAllResult SaveAllFiles(const std::string& target, DisplaySink& sink);
    SaveAllResult SaveAllTree(const std::string& target, DisplaySink& sink);
    // Recovers deleted file row i into path with first as its lost first character (asked by
    // the caller); the report goes to sink (the display, unless the file goes there).
    RecoveryResult RecoverRow(int i, char first, const std::string& path, DisplaySink& sink);

    // Row of the directory on show named name among the rows a list shows: the first whose 8.3
    // or long name is name exactly, else the one that matches in any case; live rows before
    // deleted ones. Nothing when none
    // matches, or when several match only by case (ambiguous is then set).
    std::optional<int> FindRow(const std::string& name, bool* ambiguous = nullptr) const;
    // Follows an absolute path from the directory on show (the root after an open): enters
    // every directory of it and gives the last component's row (the "." row for "/"). With
    // enterLast the last component must be a directory; it is entered too and the result is
    // its first list row (-1 for none). Nothing, and the reason in problem, when the path
    // does not lead anywhere.
    std::optional<int> GoToPath(const std::string& path, bool enterLast, std::string& problem);

    FatVolume& Volume() { return *m_volume; }
    DirectoryTable& Table() { return m_table; }
    const PathStack& Path() const { return m_path; }

  private:
    void Refuse(const std::string& title, const std::string& text, DisplaySink& sink);

    Prompts& m_prompts;
    EventHook& m_hook;
    std::unique_ptr<OpenedImage> m_image;
    std::unique_ptr<FatVolume> m_volume;
    DirectoryTable m_table;
    PathStack m_path;
    DirectoryList m_list;
    std::int64_t m_directoryCluster = 0; // the first cluster of the directory on show; 0 root
    std::int64_t m_partitionOffset = 0;
    bool m_open = false;
    std::string m_fileTitle;
    std::string m_volumeId;
    SystemIdLabel m_systemId;
};
