// Test images for Quarry: a fresh image of one format in a folder of its own, opened in a session
// whose prompts are scripted and whose display pane is a string.
#pragma once

#include "BusyPointer.h"
#include "DisplaySink.h"
#include "EventHook.h"
#include "QuarrySession.h"
#include "ScriptedPrompts.h"
#include "SettingsStore.h"

#include <cstdint>
#include <string>
#include <vector>

using ByteVector = std::vector<std::uint8_t>;

ByteVector ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const ByteVector& bytes);
// Deterministic bytes that differ from block to block and from seed to seed.
ByteVector PatternBytes(std::size_t size, unsigned seed);
// Bytes rounded up to whole 128-byte records with pad.
ByteVector PaddedToRecords(ByteVector bytes, std::uint8_t pad);

class TestImage {
  public:
    // An image of the format's size filled with fill, opened read/write.
    explicit TestImage(const std::string& format, std::uint8_t fill = 0xE5,
                       const std::string& folder = "quarry");
    // An existing image file, opened in a fresh folder.
    static std::string Folder(const std::string& name);

    void Open(const std::string& path);
    void Reopen() { Open(path); }
    // A host file in the image's folder.
    std::string HostFile(const std::string& name, const ByteVector& bytes);
    // Adds a host file under cpmName (no prompts); true when it was added.
    bool Add(const std::string& hostPath, const std::string& cpmName);
    // Selects a file by its 15-character name.
    void Select(const std::string& cpmName) { session.SelectFile(cpmName); }
    ByteVector Bytes() const { return ReadFileBytes(path); }
    // The directory entries as they are on disk.
    std::vector<DirEntry> Entries() { return session.directory().ReadDirectory(); }
    // The bytes of a file as Upload writes them.
    ByteVector Upload(const std::string& cpmName);

    std::string folder;
    std::string path;
    StringSink out;
    ScriptedPrompts prompts;
    EventHook hook;
    BusyPointer busy;
    QuarrySession session{out, prompts, hook, busy};
};

// The 15-character name of NAME.TYP under user.
std::string CpmName(int user, const std::string& name, const std::string& type);
