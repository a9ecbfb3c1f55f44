// Writing an image as raw bytes: a new image file of a given size filled with one byte value
// (the "Create New Disk" dialog), and overwriting the whole open image with the fill byte. Both
// write in large pieces and report progress at every whole percent, letting the window run its
// events and cancel between pieces.
#pragma once

#include "NumberEntry.h"

#include <cstdint>
#include <functional>
#include <string>

class EventHook;
class Prompts;
class DisplaySink;
class QuarrySession;
class modFile;

// Called after each piece with the records written so far and the records in all.
using Progress = std::function<void(std::int64_t done, std::int64_t total)>;

// The progress count: records written, "/", bytes written ("8/1024").
std::string CountText(std::int64_t records);
// The whole percentage of the progress.
int ProgressPercent(std::int64_t done, std::int64_t total);

inline constexpr std::int64_t MaxDiskSize = 536870912; // 512 MB

enum class CreateResult { Created, Cancelled, Failed };

// Creates path as records records of fillByte, written through the host's one output policy
// (OutputFile): after a cancel (the hook's abort flag) or an error no part of a new file is left
// behind.
CreateResult CreateImageFile(const std::string& path, std::int64_t records, std::uint8_t fillByte,
                             EventHook& hook, Prompts& prompts, const Progress& progress = {});

// "Fill Image": asks, then writes the fill byte over the whole open image.
bool FillImage(QuarrySession& session, DisplaySink& out, const Progress& progress = {});

// The "Create New Disk" dialog without its widgets.
class DialogNewDiskModel {
  public:
    std::int64_t DiskSize = 0;
    std::uint8_t FillByte = 0xE5;
    std::string FileName;
    bool ReturnValue = false;

    // The size and fill byte as texts, as the new disk's entries start.
    std::string DiskSizeText() const { return std::to_string(DiskSize); }
    std::string FillByteText() const;

    // Typing a size or fill byte: the value is taken and the colours returned (the window
    // shows the value in decimal beside it).
    EntryMark SetDiskSizeText(const std::string& text);
    EntryMark SetFillByteText(const std::string& text);

    // "Create": checks the entries ("Error in Input"), asks for the file and creates it.
    // Returns true when the dialog is done (created, or the file dialog was cancelled).
    bool Create(modFile& files, Prompts& prompts, EventHook& hook, const Progress& progress = {});
    // "Cancel": while creating, asks the creation to stop (the window then clears its progress)
    // and returns false; otherwise forgets the file name and returns true (the
    // dialog hides).
    bool Cancel(EventHook& hook);
    bool Creating() const { return m_creating; }

  private:
    bool m_creating = false;
    EntryMark m_sizeMark;
    EntryMark m_fillMark;
};

// After the dialog: a new file becomes the open image when none is open, read as format when
// one is named (the format it was made for; a blank image of a size several layouts share does
// not tell).
void AfterNewImage(QuarrySession& session, DisplaySink& out, const DialogNewDiskModel& dialog,
                   const std::string& format = {});
