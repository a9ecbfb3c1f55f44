#include "QuarrySession.h"

#include "BusyPointer.h"
#include "DisplaySink.h"
#include "EventHook.h"
#include "ParseOffset.h"
#include "Prompts.h"

#include <algorithm>
#include <cstdio>

QuarrySession::QuarrySession(Prompts& prompts, EventHook& hook, BusyPointer& busy)
    : m_prompts(prompts), m_hook(hook), m_pointer(busy), m_image(prompts), m_directory(m_image) {
    m_directory.SetFileListChanged([this] {
        const std::vector<std::string>& names = m_directory.FileList();
        m_selectedFile = names.empty() ? std::string() : names.front();
        if (m_fileListChanged) m_fileListChanged();
    });
}

OpenOutcome QuarrySession::Open(const std::string& path, const ImageOpener& opener,
                                DisplaySink& sink) {
    Close();
    m_image.SetName(path);
    m_image.SetReadOnlyRequested(opener.Choices().readOnly);
    m_image.SetContainerType(opener.Choices().container);
    m_detection = m_image.DetectDiskFormat(m_settling.warnUnknown);
    if (m_detection == CpmImage::Detection::NoImage) return OpenOutcome::Failed;
    if (!m_settling.format.empty()) {
        m_image.SetDiskFormat(m_settling.format);
    } else if (m_detection == CpmImage::Detection::Ambiguous &&
               !SettleFormat(m_image, m_prompts, m_settling.question)) {
        Close();
        return OpenOutcome::Refused;
    }
    m_directory.BuildAllocationMap();
    m_directory.ShowAll(sink);
    MarkSeen();
    return OpenOutcome::Opened;
}

OpenOutcome QuarrySession::Attach(std::unique_ptr<OpenedImage> image, DisplaySink& sink) {
    Close();
    if (!image || image->Path().empty()) {
        sink.Append(std::string("Quarry opens image files only") + CRLF);
        return OpenOutcome::Refused;
    }
    // The file is opened again here, to be locked and written; the reader given goes.
    const std::string path = image->Path();
    ImageOpener opener = QuarryOpener();
    opener.Choices().container = image->TypeName();
    image.reset();
    return Open(path, opener, sink);
}

void QuarrySession::SelectDiskFormat(const std::string& name) {
    m_image.SetDiskFormat(name);
    m_directory.BuildAllocationMap();
    if (m_image.ImageOpen()) m_directory.ScanDirectory("??", "????????", "???", ListMode::NAMES);
    MarkSeen();
}

void QuarrySession::MarkSeen() {
    m_seenStamp = m_image.Stamp();
    m_seenDirectory = m_directory.ReadDirectory();
}

bool QuarrySession::ImageChanged() {
    if (!m_image.ImageOpen()) return false;
    const FileStamp named = StampOf(m_image.Name());
    if (named != m_seenStamp || m_image.Stamp() != m_seenStamp) return true;
    const std::vector<DirEntry> now = m_directory.ReadDirectory();
    return !std::equal(now.begin(), now.end(), m_seenDirectory.begin(), m_seenDirectory.end(),
                       [](const DirEntry& a, const DirEntry& b) { return a.bytes == b.bytes; });
}

bool QuarrySession::RefreshIfChanged(DisplaySink& out) {
    if (m_busy || !ImageChanged()) return false;
    if (StampOf(m_image.Name()).size >= 0) m_image.ReopenIfReplaced();
    m_image.RefreshFileSize();
    m_directory.BuildAllocationMap();
    m_directory.ShowAll(out);
    MarkSeen();
    return true;
}

QuarrySession::Change::Change(QuarrySession& session, DisplaySink& out)
    : m_session(session), m_out(out), m_active(false) {
    CpmImage& image = session.m_image;
    if (!image.Writable()) return;
    // A writer that held the lock may have replaced the image as a whole (a fill); whoever
    // waited on the old file takes the new one and waits again.
    for (int attempt = 0;; ++attempt) {
        if (!image.ReopenIfReplaced()) return;
        if (!image.Lock(session.m_lockWait)) return;
        if (image.IsImageFile(image.Name())) break;
        image.Unlock();
        if (attempt == 8) {
            session.prompts().MessageBox("Error Locking Image File", InUseText);
            return;
        }
    }
    // What another program wrote since the image was listed here counts, not the listing.
    image.RefreshFileSize();
    session.m_directory.BuildAllocationMap();
    m_active = true;
}

QuarrySession::Change::~Change() {
    if (!m_active) return;
    // An image in a container was changed in memory; the file is made anew here, still under
    // the lock. When that fails the disk is read again and shown as the file still holds it.
    if (!m_session.m_image.WriteBackContainer() && m_session.m_image.ImageOpen()) {
        m_session.m_directory.BuildAllocationMap();
        m_session.m_directory.ShowAll(m_out);
    }
    m_session.MarkSeen();
    m_session.m_image.Unlock();
}

void QuarrySession::Close() {
    m_image.CloseImage();
    m_selectedFile.clear();
}

void QuarrySession::ShowDirectory(bool full, DisplaySink& out) {
    if (!m_image.ImageOpen()) return;
    Frame frame(*this);
    if (!frame) return;
    m_directory.ShowDirectory(out, "??", "????????", "???",
                              full ? ListMode::FULL : ListMode::SHORT);
    m_hook.ProcessEvents();
}

void QuarrySession::SetUserNumber(int user) {
    if (user >= 0 && user <= 15) m_userNumber = user;
}

EntryMark QuarrySession::SetFillByteText(const std::string& text) {
    const EntryMark mark = CheckRange(text, 0, 255, 0, 2147483647);
    if (!mark.Red()) {
        m_fillByte = static_cast<std::uint8_t>(ParseOffset(text));
        m_fillByteText = text;
    }
    return mark;
}

QuarrySession::Frame::Frame(QuarrySession& session)
    : m_session(session), m_active(!session.m_busy) {
    if (!m_active) return;
    m_session.m_busy = true;
    m_session.m_pointer.SetBusy(true);
}

QuarrySession::Frame::~Frame() {
    if (!m_active) return;
    m_session.m_pointer.SetBusy(false);
    m_session.m_busy = false;
}

ImageOpener QuarryOpener() {
    return ImageOpener(SectorView::Bytes512, "CP/M Image", "Quarry");
}

std::string SizeDecimalText(std::int64_t size) {
    return std::to_string(size);
}

std::string SizeHexText(std::int64_t size) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(size));
    return text;
}
