// Test images for Quarry: a fresh image of one format in a folder of its own, opened in a session
// whose prompts are scripted and whose display pane is a string.
#pragma once

#include "BusyPointer.h"
#include "DisplaySink.h"
#include "EventHook.h"
#include "NameQuestion.h"
#include "QuarrySession.h"
#include "QuarryTestSupport.h"
#include "SettingsStore.h"

#include <string>
#include <vector>

// Deterministic bytes that differ from block to block and from seed to seed.
ByteVector PatternBytes(std::size_t size, unsigned seed);
// A directory entry: status, 15-character name, extent, record count and block pointers.
DirEntry MakeEntry(int status, const std::string& cpmName, int ex, int rc,
                   const std::vector<int>& blocks, bool eightBit = true);

// A session with no image open.
struct BareSession {
    StringSink out;
    ScriptedPrompts prompts;
    EventHook hook;
    BusyPointer busy;
    QuarrySession session{prompts, hook, busy};
    // Opens path as the window's Open Image does.
    OpenOutcome OpenImage(const std::string& path, bool readOnly = false) {
        ImageOpener opener = QuarryOpener();
        opener.Choices().readOnly = readOnly;
        return session.Open(path, opener, out);
    }
    // A refused name asked for as the window asks it, through the scripted prompts.
    NameQuestion AskName() {
        return [this](const RefusedName& refused) {
            const NameQuestionText question = QuestionText(refused);
            return prompts.InputBox(question.prompt, question.title, question.offered);
        };
    }
};

class TestImage : public BareSession {
  public:
    // An image of the format's size filled with fill, opened read/write.
    explicit TestImage(const std::string& format, std::uint8_t fill = 0xE5,
                       const std::string& folder = "quarry");
    void Open(const std::string& path, bool readOnly = false);
    void Reopen() { Open(path); }
    void ReopenReadOnly() { Open(path, true); }
    // A host file in the image's folder.
    std::string HostFile(const std::string& name, const ByteVector& bytes);
    // Adds a host file under cpmName (no prompts); true when it was added.
    bool Add(const std::string& hostPath, const std::string& cpmName);
    // Writes directory entry n.
    void Put(int n, const DirEntry& entry);
    // Selects a file by its 15-character name.
    void Select(const std::string& cpmName) { session.SelectFile(cpmName); }
    ByteVector Bytes() const { return ReadFileBytes(path); }
    // The directory entries as they are on disk.
    std::vector<DirEntry> Entries() { return session.directory().ReadDirectory(); }
    // The bytes of a file as Upload writes them.
    ByteVector Upload(const std::string& cpmName);
    // The blocks of a file, in file order.
    std::vector<int> Blocks(const std::string& cpmName);

    std::string folder;
    std::string path;
};
