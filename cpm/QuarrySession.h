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
#pragma once

#include "CpmDirectory.h"
#include "CpmImage.h"
#include "FormatDetection.h"
#include "NumberEntry.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class BusyPointer;
class DisplaySink;
class EventHook;
class Prompts;

class QuarrySession {
  public:
    QuarrySession(DisplaySink& out, Prompts& prompts, EventHook& hook, BusyPointer& busy);

    DisplaySink& out() { return m_out; }
    Prompts& prompts() { return m_prompts; }
    EventHook& hook() { return m_hook; }
    BusyPointer& pointer() { return m_pointer; }
    CpmImage& image() { return m_image; }
    CpmDirectory& directory() { return m_directory; }
    const DiskFormat& Format() const { return m_image.Format(); }

    // Opens the image named in the image state, takes the format of its size (asking question
    // when its directory does not decide; without one the best is taken and said so), rebuilds
    // the allocation map and shows the SHORT listing. Returns whether the image is open.
    bool DetectDiskFormat(const FormatQuestion& question = {});
    // A format picked from the list: applied to the open image as it is, then the map and the
    // file list are rebuilt.
    void SelectDiskFormat(const std::string& name);
    // "Close Image".
    void CloseImage();
    // The Directory and Full Directory buttons.
    void cmdDirectory(bool full);

    // cmboUserNumber: the user of dropped files, 0..15.
    int UserNumber() const { return m_userNumber; }
    void SetUserNumber(int user);

    // txtFillByte: the byte as typed. A value that is not red becomes the fill byte.
    EntryMark SetFillByteText(const std::string& text);
    std::uint8_t FillByte() const { return m_fillByte; }
    const std::string& FillByteText() const { return m_fillByteText; }

    // cmboFileList: the file the file commands act on ("" when none is selected). Every refill
    // of the list selects its first name, then tells the window.
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
    // state of the image counts as seen; an image in a container is written back then.
    class Change {
      public:
        explicit Change(QuarrySession& session);
        ~Change();
        Change(const Change&) = delete;
        Change& operator=(const Change&) = delete;
        explicit operator bool() const { return m_active; }

      private:
        QuarrySession& m_session;
        bool m_active;
    };
    void SetLockWait(std::chrono::milliseconds wait) { m_lockWait = wait; }

    // Whether the image differs from what the session last showed: another file under the name,
    // another size or time of change, or other directory bytes.
    bool ImageChanged();
    // Shows the image afresh (map, listing, file list) when it changed; true when it did.
    bool RefreshIfChanged();
    // Takes the current state of the image as the one shown.
    void MarkSeen();

  private:
    DisplaySink& m_out;
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
};

// The decimal and "0x" hex texts of an image size, as the window shows them ("0", "0x0").
std::string SizeDecimalText(std::int64_t size);
std::string SizeHexText(std::int64_t size);
