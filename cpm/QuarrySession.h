// What Quarry's window holds while it works on an image: the image and its directory, the
// choices the user made on the window (user number for added files, fill byte, selected file,
// sorted listings) and the busy flag that keeps one command from starting while another runs.
// The window and the command line both drive the core through it.
//
// Other programs (a script running quarry, a second window) may change the image while it is
// open here. Every change therefore runs as a Change: it holds the image's lock from first read to
// last write and reads the directory afresh inside it, so a listing shown earlier never decides
// what is written. The session remembers the state of the image it last showed and can tell
// when someone else changed it.
//
// It has the shape of every explorer's session, with one difference: Quarry locks and writes the
// image file itself (a flat image in place, a container made anew and renamed over it), so it
// always opens the file by its path. Attach therefore takes the path of the image it is given and
// opens that file as Open does; an image with no file (sectors from memory) is refused.
#pragma once

#include "ExplorerSession.h"
#include "ImageOpener.h"

#include "CpmDirectory.h"
#include "CpmImage.h"
#include "FormatDetection.h"
#include "NumberEntry.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class BusyPointer;
class DisplaySink;
class EventHook;
class Prompts;

class QuarrySession : public ExplorerSession {
  public:
    QuarrySession(Prompts& prompts, EventHook& hook, BusyPointer& busy);

    Prompts& prompts() { return m_prompts; }
    EventHook& hook() { return m_hook; }
    BusyPointer& pointer() { return m_pointer; }
    CpmImage& image() { return m_image; }
    CpmDirectory& directory() { return m_directory; }
    const DiskFormat& Format() const { return m_image.Format(); }

    // How Open settles the format of the image it opens; set by the caller before Open.
    struct FormatSettling {
        // Asked when the image's directory does not decide between formats of its size (without
        // one the best is taken and said so); declining it refuses the image.
        FormatQuestion question;
        // A format the user named: taken instead of the one the size and directory suggest.
        std::string format;
        // Whether an image of no known size says "Disk Type Not Known".
        bool warnUnknown = true;
    };
    void SetFormatSettling(FormatSettling settling) { m_settling = std::move(settling); }

    // Opens the image file at path (read-only when the opener's choices wish it, as the
    // container type they name or as detected), takes the format of its size as settled above,
    // rebuilds the allocation map and shows the SHORT listing. Opened also for an image of no
    // known size (read with the current format after the warning); Refused when the format
    // question was declined (the image is closed); Failed when the file could not be opened.
    OpenOutcome Open(const std::string& path, const ImageOpener& opener,
                     DisplaySink& sink) override;
    // Opens the file image was opened from, as Open does (the container type it was read as,
    // for writing). An image with no file is refused: "Quarry opens image files only".
    OpenOutcome Attach(std::unique_ptr<OpenedImage> image, DisplaySink& sink) override;
    // "Close Image".
    void Close() override;
    bool IsOpen() const override { return m_image.ImageOpen(); }
    // What the last Open found of the image's size (Unknown: no format has it).
    CpmImage::Detection Detection() const { return m_detection; }
    // A format picked from the list: applied to the open image as it is, then the map and the
    // file list are rebuilt.
    void SelectDiskFormat(const std::string& name);
    // The SHORT listing of every file, or the FULL one.
    void ShowDirectory(bool full, DisplaySink& out);

    // The user number given to added files, 0..15.
    int UserNumber() const { return m_userNumber; }
    void SetUserNumber(int user);

    // The fill byte of wipes as typed. A value that is not red becomes the fill byte.
    EntryMark SetFillByteText(const std::string& text);
    std::uint8_t FillByte() const { return m_fillByte; }
    const std::string& FillByteText() const { return m_fillByteText; }

    // The file the file commands act on ("" when none is selected). Every new list of file
    // names selects its first name, then tells whoever listens.
    void SelectFile(const std::string& cpmName) { m_selectedFile = cpmName; }
    void SetFileListChanged(std::function<void()> handler) {
        m_fileListChanged = std::move(handler);
    }
    const std::string& SelectedFile() const { return m_selectedFile; }

    // The busy flag and hourglass of one command. A frame opened while another is open is not
    // active: the command must return at once.
    class Frame {
      public:
        explicit Frame(QuarrySession& session);
        ~Frame();
        Frame(const Frame&) = delete;
        Frame& operator=(const Frame&) = delete;
        explicit operator bool() const { return m_active; }

      private:
        QuarrySession& m_session;
        bool m_active;
    };
    bool Busy() const { return m_busy; }

    // One change of the image: the lock (waiting up to LockWait for another program), the
    // image reopened when its file was replaced, and the allocation map read again. Not active
    // when the image is read-only or another program holds it (said once). At its end the
    // state of the image counts as seen; an image in a container is written back then, and when
    // that fails the disk is shown to out as the file still holds it.
    class Change {
      public:
        Change(QuarrySession& session, DisplaySink& out);
        ~Change();
        Change(const Change&) = delete;
        Change& operator=(const Change&) = delete;
        explicit operator bool() const { return m_active; }

      private:
        QuarrySession& m_session;
        DisplaySink& m_out;
        bool m_active;
    };
    void SetLockWait(std::chrono::milliseconds wait) { m_lockWait = wait; }

    // Whether the image differs from what the session last showed: another file under the name,
    // another size or time of change, or other directory bytes.
    bool ImageChanged();
    // Shows the image afresh (map, listing, file list) when it changed; true when it did.
    bool RefreshIfChanged(DisplaySink& out);
    // Takes the current state of the image as the one shown.
    void MarkSeen();

  private:
    Prompts& m_prompts;
    EventHook& m_hook;
    BusyPointer& m_pointer;
    CpmImage m_image;
    CpmDirectory m_directory;
    int m_userNumber = 0;
    std::uint8_t m_fillByte = 0xE5;
    std::string m_fillByteText = "0xE5";
    std::string m_selectedFile;
    std::function<void()> m_fileListChanged;
    bool m_busy = false;
    std::chrono::milliseconds m_lockWait = DefaultLockWait;
    FileStamp m_seenStamp;
    std::vector<DirEntry> m_seenDirectory;
    FormatSettling m_settling;
    CpmImage::Detection m_detection = CpmImage::Detection::NoImage;
};

// An opener for Quarry's sessions: of its choices Quarry uses the container type and the read-only
// wish; it reads the file itself.
ImageOpener QuarryOpener();

// The decimal and "0x" hex texts of an image size, as the window shows them ("0", "0x0").
std::string SizeDecimalText(std::int64_t size);
std::string SizeHexText(std::int64_t size);
