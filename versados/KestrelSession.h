// What Kestrel holds while an image is open, and the operations its window and its commands
// share: open and test the volume, load the catalog, select a catalog and a file, show the
// views, the listing and single blocks, and save.
#pragma once

#include "ExplorerSession.h"
#include "ImageOpener.h"
#include "VersaDOSCatalog.h"
#include "VersaDOSFile.h"
#include "VersaDOSSave.h"
#include "VersaDOSVolume.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class DisplaySink;
class EventHook;
class Prompts;

// Opens images as 256-byte logical sectors, with Kestrel's captions and error source.
ImageOpener KestrelImageOpener();

// The views of the selected file, as the display options number them.
enum DisplayOption { ViewDirectory = 0, ViewDisplay = 1, ViewDump = 2, ViewVolumeInfo = 3 };

class KestrelSession : public ExplorerSession {
  public:
    KestrelSession(Prompts& prompts, EventHook& hook) : m_prompts(prompts), m_hook(hook) {}

    OpenOutcome Open(const std::string& path, const ImageOpener& opener,
                     DisplaySink& sink) override;
    // Takes an opened image and tests it for a VersaDOS volume: Opened when it is one. For
    // another disk the image stays open and the Volume ID report of whatever sector 0 holds
    // goes to sink (Refused).
    OpenOutcome Attach(std::unique_ptr<OpenedImage> disk, DisplaySink& sink) override;
    void Close() override;
    bool IsOpen() const override { return m_disk != nullptr; }
    bool IsVersaDOS() const { return m_isVersaDOS; }
    // The highest block number Display Block accepts (0 without a VersaDOS volume).
    std::int32_t HighestBlock() const { return m_isVersaDOS ? m_volume->Config().totalSectors : 0; }

    // Reads the volume's catalogs; returns the catalog to select or -1.
    int LoadCatalog();
    // Reads the files of the catalog at index; returns the file to select or -1.
    int SelectCatalog(int index);
    const std::vector<ListItem>& Catalogs() const { return m_catalogs; }
    const std::vector<ListItem>& Files() const { return m_files; }
    int SelectedCatalog() const { return m_selectedCatalog; }
    // The entry of file index of the selected catalog (nullptr when there is none).
    const DirEntry* FileEntry(int index) const;

    // The view of file index of the selected catalog (reads its FAB chain first).
    void ShowFile(int index, int option, bool expandSpaces, bool addCRLF, DisplaySink& sink);
    void ShowVolume(DisplaySink& sink) const;
    // Dumps logical sector lsn; false when it cannot be read.
    bool ShowBlock(std::int32_t lsn, DisplaySink& sink);
    // The whole-disk listing in form 0..3.
    void ShowListing(int form, DisplaySink& sink);

    bool SaveDataBlocks(int index, const std::string& path);
    bool SaveRecords(int index, const std::string& path, const RecordOptions& options);
    SaveAllSummary SaveAll(const std::string& target, DisplaySink& sink, double failureDelay,
                           const DamageLookup& damaged = {});

    // Looks up a catalog written as listed (":0007.UTIL."), or as "7.UTIL" / "0007.UTIL".
    int FindCatalog(const std::string& name) const;
    // Looks up a file "USER.CATALOG.NAME.EXT"; selects its catalog. -1 when not found.
    int FindFile(const std::string& name);

    VersaDOSVolume& Volume() { return *m_volume; }
    OpenedImage* Disk() { return m_disk.get(); }

  private:
    bool PrepareFile(int index);

    Prompts& m_prompts;
    EventHook& m_hook;
    std::unique_ptr<OpenedImage> m_disk;
    std::unique_ptr<VersaDOSVolume> m_volume;
    std::unique_ptr<VersaDOSCatalog> m_catalog;
    std::unique_ptr<VersaDOSFile> m_file;
    bool m_isVersaDOS = false;
    std::vector<ListItem> m_catalogs;
    std::vector<ListItem> m_files;
    int m_selectedCatalog = -1;
};
