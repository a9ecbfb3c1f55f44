// What Tamarin holds while an image is open, and the operations its window and its commands
// share: open the volume, list a directory, show an inode in one of the display options, the
// super block, the inode table and single blocks, and save a file.
#pragma once

#include "ExplorerSession.h"
#include "ImageOpener.h"
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

// Opens images as 256-byte logical sectors, with Tamarin's captions and error source.
ImageOpener TamarinImageOpener();

// The display options, as the window numbers them.
enum TamarinOption { OptionInodeInfo = 0, OptionDisplay = 1, OptionDump = 2, OptionSuperBlock = 3 };

class TamarinSession : public ExplorerSession {
  public:
    TamarinSession(Prompts& prompts, EventHook& hook) : m_prompts(prompts), m_hook(hook) {}

    OpenOutcome Open(const std::string& path, const ImageOpener& opener,
                     DisplaySink& sink) override;
    // Takes an opened image and reads its volume: Opened when it is explored. For a disk that
    // is not, the image stays open and the volume ID text goes to sink (Refused).
    OpenOutcome Attach(std::unique_ptr<OpenedImage> disk, DisplaySink& sink) override;
    void Close() override;
    bool IsOpen() const override { return m_disk != nullptr; }
    bool IsExplorable() const { return m_explorable; }
    OpenedImage* Disk() const { return m_disk.get(); }
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
    std::unique_ptr<OpenedImage> m_disk;
    std::unique_ptr<modTamarin68> m_volume;
    bool m_explorable = false;
    std::vector<DirListItem> m_lines;
    std::int32_t m_remembered = 0;
};
