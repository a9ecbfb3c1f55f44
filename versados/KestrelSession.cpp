#include "KestrelSession.h"

#include "DisplaySink.h"
#include "EventHook.h"
#include "FileTypes.h"
#include "ImageDiskDrive.h"
#include "modUtility.h"

#include <cstdlib>

ImageOpener KestrelImageOpener() {
    return ImageOpener(SectorView::Logical256, "VersaDOS File System", "Kestrel");
}

OpenOutcome KestrelSession::Open(const std::string& path, const ImageOpener& opener,
                                 DisplaySink& sink) {
    Close();
    std::unique_ptr<OpenedImage> image = opener.Open(path, m_prompts);
    return image ? Attach(std::move(image), sink) : OpenOutcome::Failed;
}

OpenOutcome KestrelSession::Attach(std::unique_ptr<OpenedImage> disk, DisplaySink& sink) {
    Close();
    m_disk = std::move(disk);
    m_volume = std::make_unique<VersaDOSVolume>(*m_disk);
    m_catalog = std::make_unique<VersaDOSCatalog>(*m_disk, m_prompts, m_hook);
    m_file = std::make_unique<VersaDOSFile>(*m_disk, m_prompts, m_hook);
    m_isVersaDOS = m_volume->IsVersaDOSVolume();
    if (!m_isVersaDOS) {
        m_volume->ReadNamedConfig();
        sink.Clear();
        m_volume->ShowVolume(sink);
        return OpenOutcome::Refused;
    }
    m_file->SetVolumeSectors(m_volume->Config().totalSectors);
    return OpenOutcome::Opened;
}

void KestrelSession::Close() {
    m_file.reset();
    m_catalog.reset();
    m_volume.reset();
    m_disk.reset();
    m_isVersaDOS = false;
    m_catalogs.clear();
    m_files.clear();
    m_selectedCatalog = -1;
}

int KestrelSession::LoadCatalog() {
    if (!m_isVersaDOS) return -1;
    m_hook.SetAbort(true); // a walk still running stops at its next poll
    m_volume->ReadVID(0);
    m_volume->ReadConfig(m_volume->VID().configSector);
    m_catalog->ReadSAT(m_volume->VID().satStart, m_volume->VID().satLength);
    m_files.clear();
    return m_catalog->LoadCatalog(*m_volume, m_catalogs);
}

int KestrelSession::SelectCatalog(int index) {
    if (!m_isVersaDOS || index < 0 || index >= static_cast<int>(m_catalogs.size())) return -1;
    m_hook.SetAbort(true);
    m_selectedCatalog = index;
    const std::int32_t pdb =
        static_cast<std::int32_t>(m_catalogs[static_cast<std::size_t>(index)].data);
    return m_catalog->SelectCatalog(pdb, m_files);
}

const DirEntry* KestrelSession::FileEntry(int index) const {
    if (!m_catalog || index < 0 || index >= static_cast<int>(m_files.size())) return nullptr;
    const std::size_t row = static_cast<std::size_t>(m_files[static_cast<std::size_t>(index)].data);
    if (row >= m_catalog->ListedFiles().size()) return nullptr;
    return &m_catalog->ListedFiles()[row];
}

bool KestrelSession::PrepareFile(int index) {
    const DirEntry* entry = FileEntry(index);
    if (!entry) return false;
    if (entry->fileType != 0) m_file->ReadFABChain(entry->fileStart, entry->fabLength);
    return true;
}

void KestrelSession::ShowFile(int index, int option, bool expandSpaces, bool addCRLF,
                              DisplaySink& sink) {
    if (!m_isVersaDOS) return;
    m_hook.SetAbort(true);
    if (option == ViewVolumeInfo) {
        sink.Clear();
        m_volume->ShowVolume(sink);
        return;
    }
    if (!PrepareFile(index)) return;
    const DirEntry entry = *FileEntry(index);
    switch (option) {
    case ViewDirectory: {
        const std::string catalog =
            m_selectedCatalog >= 0 ? m_catalogs[static_cast<std::size_t>(m_selectedCatalog)].text
                                   : "";
        m_file->DirectoryView(sink, m_volume->VID().volumeName, catalog, entry);
        break;
    }
    case ViewDisplay:
        m_file->DisplayView(sink, entry, expandSpaces, addCRLF);
        break;
    case ViewDump:
        m_file->DumpView(sink, entry);
        break;
    default:
        break;
    }
}

void KestrelSession::ShowVolume(DisplaySink& sink) const {
    if (!m_volume) return;
    sink.Clear();
    m_volume->ShowVolume(sink);
}

bool KestrelSession::ShowBlock(std::int32_t lsn, DisplaySink& sink) {
    if (!m_file) return false;
    sink.Clear();
    const bool ok = m_file->ReadBlocks(lsn, 1);
    DumpBuffer(sink, m_file->Block(), 256);
    return ok;
}

void KestrelSession::ShowListing(int form, DisplaySink& sink) {
    if (!m_isVersaDOS) return;
    m_catalog->BuildCatalogTable(m_catalogs);
    sink.Clear();
    m_catalog->ShowListing(sink, *m_volume, form);
}

bool KestrelSession::SaveDataBlocks(int index, const std::string& path) {
    if (!PrepareFile(index)) return false;
    m_hook.SetAbort(false); // a save is a walk of its own
    return ::SaveDataBlocks(*m_file, *FileEntry(index), path, m_prompts);
}

bool KestrelSession::SaveRecords(int index, const std::string& path, const RecordOptions& options) {
    if (!PrepareFile(index)) return false;
    m_hook.SetAbort(false);
    return ::SaveRecords(*m_file, *FileEntry(index), path, options, m_prompts);
}

SaveAllSummary KestrelSession::SaveAll(const std::string& target, DisplaySink& sink,
                                       double failureDelay, const DamageLookup& damaged) {
    if (!m_isVersaDOS) return {};
    return ::SaveAll(*m_catalog, *m_file, *m_volume, m_catalogs, target, sink, m_hook, m_prompts,
                     failureDelay, damaged);
}

namespace {

// "0007.UTIL", "7.UTIL" or ":0007.UTIL." as user number and trimmed catalog name.
bool SplitUserCatalog(std::string text, long& user, std::string& catalog) {
    if (!text.empty() && text.front() == ':') text.erase(0, 1);
    const std::size_t dot = text.find('.');
    if (dot == std::string::npos || dot == 0) return false;
    char* end = nullptr;
    user = std::strtol(text.c_str(), &end, 10);
    if (end != text.c_str() + dot) return false;
    catalog = UpperCase(text.substr(dot + 1));
    // The listed form ends with a point; a catalog without a name leaves just that point.
    if (!catalog.empty() && catalog.back() == '.') catalog.pop_back();
    return true;
}

} // namespace

int KestrelSession::FindCatalog(const std::string& name) const {
    long user = 0;
    std::string catalog;
    if (!SplitUserCatalog(name, user, catalog)) return -1;
    for (std::size_t i = 0; i < m_catalogs.size(); ++i) {
        long itemUser = 0;
        std::string itemCatalog;
        if (SplitUserCatalog(m_catalogs[i].text, itemUser, itemCatalog) && itemUser == user &&
            itemCatalog == catalog)
            return static_cast<int>(i);
    }
    return -1;
}

int KestrelSession::FindFile(const std::string& name) {
    // USER.CATALOG.NAME.EXT: the last two parts name the file.
    const std::size_t extDot = name.rfind('.');
    if (extDot == std::string::npos || extDot == 0) return -1;
    const std::size_t nameDot = name.rfind('.', extDot - 1);
    if (nameDot == std::string::npos) return -1;
    const int catalog = FindCatalog(name.substr(0, nameDot));
    if (catalog < 0) return -1;
    SelectCatalog(catalog);
    const std::string file = UpperCase(name.substr(nameDot + 1, extDot - nameDot - 1));
    const std::string ext = UpperCase(name.substr(extDot + 1));
    for (int i = 0; i < static_cast<int>(m_files.size()); ++i) {
        const DirEntry* entry = FileEntry(i);
        if (UpperCase(Trim(entry->fileName)) == file && UpperCase(Trim(entry->extension)) == ext)
            return i;
    }
    return -1;
}
