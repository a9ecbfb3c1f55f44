// What Tamarin holds while an image is open, and the operations its window and its commands
// share: open the volume, list a directory, show an inode in one of the display options, the
// super block, the inode table and single blocks, and save a file.
#pragma once

#include "SectorSource.h"
#include "SystemVContents.h"
#include "SystemVDirectory.h"
#include "modTamarin68.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class DisplaySink;
class EventHook;
class Prompts;

// Opens an image file as a sector source; shows its own messages and returns nullptr when the
// image cannot be used.
using ImageOpener =
    std::function<std::unique_ptr<SectorSource>(const std::string& path, Prompts& prompts)>;

// Opens images into the ImageDisk drive, as Tamarin reads them.
ImageOpener TamarinImageOpener();

// The display options, as the window numbers them.
enum TamarinOption { OptionInodeInfo = 0, OptionDisplay = 1, OptionDump = 2, OptionSuperBlock = 3 };

class TamarinSession {
  public:
    TamarinSession(Prompts& prompts, EventHook& hook) : m_prompts(prompts), m_hook(hook) {}

    // Takes an opened image and reads its volume; true when it is explored. For a disk that is
    // not, the volume ID text goes to sink.
    bool Attach(std::unique_ptr<SectorSource> disk, DisplaySink& sink);
    void Detach();
    bool IsOpen() const { return m_disk != nullptr; }
    bool IsExplorable() const { return m_explorable; }
    SectorSource* Disk() const { return m_disk.get(); }
    modTamarin68& Volume() { return *m_volume; }

    // Fills the file list from directory inode; false (and the list unchanged) when inode is
    // not a directory in use.
    bool ListDirectory(std::int32_t inode);
    const std::vector<DirListItem>& Lines() const { return m_lines; }
    // The inode of list line line (-1: no line selected), remembered for later.
    std::int32_t SelectedInode(int line);

    // The view of inode in a display option, on a cleared display.
    void ShowInode(std::int32_t inode, int option, DisplaySink& sink);
    void ShowSuperBlock(DisplaySink& sink) const;
    void ShowInodeTable(DisplaySink& sink);
    // The dump of block block; false when it is not a block of the volume or cannot be read.
    bool ShowBlock(std::int32_t block, DisplaySink& sink);
    SaveResult Save(std::int32_t inode, const std::string& path);

    // The inode an absolute path or "#N" names; 0 and error when there is none.
    std::int32_t Resolve(const std::string& path, std::string& error);

  private:
    Prompts& m_prompts;
    EventHook& m_hook;
    std::unique_ptr<SectorSource> m_disk;
    std::unique_ptr<modTamarin68> m_volume;
    bool m_explorable = false;
    std::vector<DirListItem> m_lines;
    std::int32_t m_remembered = 0;
};
