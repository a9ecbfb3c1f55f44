#include "NewImage.h"

#include "BusyPointer.h"
#include "CpmImage.h"
#include "EventHook.h"
#include "HostError.h"
#include "OutputFile.h"
#include "ParseOffset.h"
#include "Prompts.h"
#include "QuarrySession.h"
#include "modFile.h"
#include "modUtility.h"

#include <algorithm>
#include <vector>

namespace {

constexpr const char* TitleCreate = "File Error creating Disk Image";
// Records per write: 1 MB.
constexpr std::int64_t MaxChunkRecords = 8192;

// The end of the piece that starts at done: the next record at which the whole percentage
// changes, so that every step of the progress bar is shown, but never more than 1 MB on.
std::int64_t ChunkEnd(std::int64_t done, std::int64_t total) {
    const std::int64_t percent = done * 100 / total;
    const std::int64_t nextStep = ((percent + 1) * total + 99) / 100;
    return std::min({std::max(nextStep, done + 1), done + MaxChunkRecords, total});
}

void Report(Prompts& prompts, const char* title, const HostError& error) {
    prompts.MessageBox(title, ErrorReport(error, ErrorSource));
}

} // namespace

std::string CountText(std::int64_t records) {
    return std::to_string(records) + "/" + std::to_string(records * RecordSize);
}

int ProgressPercent(std::int64_t done, std::int64_t total) {
    return total <= 0 ? 0 : static_cast<int>(done * 100 / total);
}

CreateResult CreateImageFile(const std::string& path, std::int64_t records, std::uint8_t fillByte,
                             EventHook& hook, Prompts& prompts, const Progress& progress) {
    hook.SetAbort(false);
    OutputFile out;
    if (!out.Open(path)) {
        Report(prompts, TitleCreate, out.Error());
        return CreateResult::Failed;
    }
    if (progress) progress(0, records);

    const std::vector<std::uint8_t> chunk(static_cast<std::size_t>(MaxChunkRecords * RecordSize),
                                          fillByte);
    std::int64_t done = 0;
    while (done < records && !hook.Aborted()) {
        const std::int64_t end = ChunkEnd(done, records);
        if (!out.Write(
                std::span(chunk.data(), static_cast<std::size_t>((end - done) * RecordSize))))
            break;
        done = end;
        if (progress) progress(done, records);
        hook.ProcessEvents();
    }
    if (done != records) {
        const HostError error = out.Error();
        out.Discard();
        if (!error) return CreateResult::Cancelled;
        Report(prompts, TitleCreate, error);
        return CreateResult::Failed;
    }
    if (!out.Close()) {
        Report(prompts, TitleCreate, out.Error());
        return CreateResult::Failed;
    }
    return CreateResult::Created;
}

bool FillImage(QuarrySession& session, DisplaySink& out, const Progress& progress) {
    CpmImage& image = session.image();
    Prompts& prompts = session.prompts();
    if (!image.Writable()) {
        prompts.MessageBox("Error Filling Image File", "Writable Image File NOT Open");
        return false;
    }
    QuarrySession::Frame frame(session);
    if (!frame) return false;
    if (prompts.MessageBox("Writing Image File",
                           "OK to relace everything in Image file with " + session.FillByteText(),
                           Buttons::OkCancel) != Answer::Ok)
        return false;
    QuarrySession::Change change(session, out);
    if (!change) return false;

    const std::int64_t size = image.FileSize();
    if (image.Container()) {
        // The disk of a container is filled in memory; the end of the change makes the
        // container file anew, in one rename as below.
        const bool filled =
            image.FillRanges({{0, size}}, session.FillByte(), "Error Filling Image");
        session.directory().BuildAllocationMap();
        session.directory().ShowAll(out);
        return filled;
    }
    // Every byte changes, so the filled image is written as a new file and renamed over the
    // old one: a kill or a full disk leaves the old image or the filled one, never a mixture.
    const std::int64_t records = (size + RecordSize - 1) / RecordSize;
    const std::vector<std::uint8_t> chunk(static_cast<std::size_t>(MaxChunkRecords * RecordSize),
                                          session.FillByte());
    OutputFile file;
    bool ok = file.OpenReplacingImage(image.Name());
    if (progress) progress(0, records);
    // STOP (or Ctrl+C on the command line) leaves the image as it was.
    EventHook& hook = session.hook();
    hook.SetAbort(false);
    for (std::int64_t done = 0; done < records && ok;) {
        if (hook.Aborted()) {
            ok = false;
            break;
        }
        const std::int64_t end = ChunkEnd(done, records);
        const std::int64_t from = done * RecordSize;
        const std::int64_t to = std::min(end * RecordSize, size);
        ok = file.Write(std::span(chunk.data(), static_cast<std::size_t>(to - from)));
        done = end;
        if (progress) progress(done, records);
        hook.ProcessEvents();
    }
    if (ok) ok = file.Close();
    if (!ok) {
        const HostError error = file.Error();
        file.Discard();
        if (error) prompts.MessageBox("Error Filling Image", ErrorReport(error, ErrorSource));
    } else if (!image.TakeReplacement()) {
        ok = false;
    }
    // The directory changed as a whole: the map follows it before the listing counts blocks.
    session.directory().BuildAllocationMap();
    session.directory().ShowAll(out);
    return ok;
}

std::string DialogNewDiskModel::FillByteText() const {
    return "0x" + Hex2(FillByte);
}

EntryMark DialogNewDiskModel::SetDiskSizeText(const std::string& text) {
    DiskSize = ParseOffset(text);
    const bool ok = DiskSize % RecordSize == 0 && DiskSize >= RecordSize && DiskSize <= MaxDiskSize;
    m_sizeMark = MarkEntry(text, ok);
    return m_sizeMark;
}

EntryMark DialogNewDiskModel::SetFillByteText(const std::string& text) {
    const std::int64_t value = ParseOffset(text);
    FillByte = static_cast<std::uint8_t>(value & 0xFF);
    m_fillMark = CheckRange(text, 0, 255, 0, 2147483647);
    return m_fillMark;
}

bool DialogNewDiskModel::Create(modFile& files, Prompts& prompts, EventHook& hook,
                                const Progress& progress) {
    if (m_creating) return false;
    const bool sizeOk =
        DiskSize % RecordSize == 0 && DiskSize >= RecordSize && DiskSize <= MaxDiskSize;
    std::string errors;
    if (!sizeOk || m_sizeMark.Bad()) errors += "Bad Disk Size Value\r\n";
    if (m_fillMark.Bad()) errors += "Bad Fill Byte Value\r\n";
    if (!errors.empty()) {
        prompts.MessageBox("Error in Input", errors);
        return false;
    }
    const std::string path = files.GetFileName("", "SaveAs", "img");
    if (path.empty()) {
        ReturnValue = false;
        return true;
    }
    m_creating = true;
    const CreateResult result =
        CreateImageFile(path, DiskSize / RecordSize, FillByte, hook, prompts, progress);
    m_creating = false;
    if (result != CreateResult::Created) {
        ReturnValue = false;
        return false;
    }
    FileName = path;
    ReturnValue = true;
    return true;
}

bool DialogNewDiskModel::Cancel(EventHook& hook) {
    if (m_creating) {
        hook.SetAbort(true);
        return false;
    }
    FileName.clear();
    return true;
}

void AfterNewImage(QuarrySession& session, DisplaySink& out, const DialogNewDiskModel& dialog,
                   const std::string& format) {
    if (!dialog.ReturnValue || dialog.FileName.empty() || session.image().ImageOpen()) return;
    session.SetFormatSettling({.question = {}, .format = format});
    session.Open(dialog.FileName, QuarryOpener(), out);
}
