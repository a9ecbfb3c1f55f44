#include "TamarinSession.h"

#include "DisplaySink.h"
#include "ImageDiskDrive.h"

ImageOpener TamarinImageOpener() {
    return ImageOpener(SectorView::Logical256, "System V/68 File System", "Tamarin");
}

OpenOutcome TamarinSession::Open(const std::string& path, const ImageOpener& opener,
                                 DisplaySink& sink) {
    Close();
    std::unique_ptr<OpenedImage> image = opener.Open(path, m_prompts);
    return image ? Attach(std::move(image), sink) : OpenOutcome::Failed;
}

OpenOutcome TamarinSession::Attach(std::unique_ptr<OpenedImage> disk, DisplaySink& sink) {
    Close();
    m_disk = std::move(disk);
    m_volume = std::make_unique<modTamarin68>(*m_disk, m_prompts);
    m_explorable = m_volume->OpenVolume();
    if (!m_explorable) m_volume->ShowVolumeID(sink);
    return m_explorable ? OpenOutcome::Opened : OpenOutcome::Refused;
}

void TamarinSession::Close() {
    m_volume.reset();
    m_disk.reset();
    m_explorable = false;
    m_lines.clear();
    m_remembered = 0;
}

bool TamarinSession::ListDirectory(std::int32_t inode) {
    if (!m_explorable) return false;
    std::vector<DirListItem> lines;
    if (!::ListDirectory(*m_volume, inode, lines)) return false;
    m_lines = std::move(lines);
    return true;
}

std::int32_t TamarinSession::SelectedInode(int line) {
    const std::int32_t selected = line >= 0 && static_cast<std::size_t>(line) < m_lines.size()
                                      ? m_lines[static_cast<std::size_t>(line)].ino
                                      : -1;
    const std::int32_t count = m_explorable ? m_volume->Inodes().InodeCount() : 0;
    return GetSelectedInode(selected, m_remembered, count);
}

void TamarinSession::ShowInode(std::int32_t inode, int option, DisplaySink& sink) {
    sink.Clear();
    if (!m_explorable) return;
    switch (option) {
    case OptionInodeInfo:
        m_volume->Inodes().DisplayInodeFull(sink, inode);
        break;
    case OptionDisplay:
        if (IsDirectory(m_volume->Inodes().Get(inode)))
            DisplayDirectory(*m_volume, sink, inode);
        else
            TextFile(*m_volume, sink, m_hook, inode);
        break;
    case OptionDump:
        DumpFile(*m_volume, sink, m_hook, inode);
        break;
    default:
        // The super block view shows nothing of one inode: ShowSuperBlock shows the super block.
        break;
    }
}

void TamarinSession::ShowSuperBlock(DisplaySink& sink) const {
    sink.Clear();
    if (m_volume) m_volume->ShowSuperBlockReport(sink);
}

void TamarinSession::ShowInodeTable(DisplaySink& sink) {
    sink.Clear();
    if (m_explorable) m_volume->Inodes().DisplayInodeTable(sink, m_hook);
}

bool TamarinSession::ShowBlock(std::int32_t block, DisplaySink& sink) {
    if (!m_explorable) {
        sink.Clear();
        return false;
    }
    return DisplayBlock(*m_volume, sink, block);
}

SaveResult TamarinSession::Save(std::int32_t inode, const std::string& path) {
    if (!m_explorable) return SaveResult::Refused;
    return SaveFile(*m_volume, m_prompts, inode, path);
}

std::int32_t TamarinSession::Resolve(const std::string& path, std::string& error) {
    if (!m_explorable) {
        error = "not an explorable System V/68 volume";
        return 0;
    }
    return ResolvePath(*m_volume, path, error);
}
