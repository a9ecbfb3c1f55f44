// What Quarry's window holds while it works on an image: the image and its directory, the
// choices the user made on the window (user number for added files, fill byte, selected file,
// sorted listings) and the busy flag that keeps one command from starting while another runs.
// The window and the command line both drive the core through it.
#pragma once

#include "CpmDirectory.h"
#include "CpmImage.h"
#include "NumberEntry.h"

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

    // Opens the image named in the image state, takes the format of its size, rebuilds the
    // allocation map and shows the SHORT listing. Returns whether the image is open.
    bool DetectDiskFormat();
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
};

// The decimal and "0x" hex texts of an image size, as the window shows them ("0", "0x0").
std::string SizeDecimalText(std::int64_t size);
std::string SizeHexText(std::int64_t size);
