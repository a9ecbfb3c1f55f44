// Shared by the FAT tests: the oracle images, host files, running tools, and an explorer fed
// from memory with scripted prompts.
#pragma once

#include "DisplaySink.h"
#include "EventHook.h"
#include "FatExplorer.h"
#include "Golden.h"
#include "ScriptedPrompts.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The folder where the fixture scripts put Osprey's images.
std::string OspreyImages();

// An abort flag that is raised after a number of event polls.
class AbortAfter : public EventHook {
  public:
    explicit AbortAfter(int polls) : m_polls(polls) {}
    void ProcessEvents() override {
        if (--m_polls <= 0) SetAbort(true);
    }

  private:
    int m_polls;
};

// An explorer with the sink, prompts and hook it reports to.
struct ExplorerRig {
    StringSink sink;
    ScriptedPrompts prompts;
    EventHook hook;
    ImageOpener opener = OspreyImageOpener();
    FatExplorer explorer{prompts, hook};
    std::unique_ptr<MemorySectors> memory;

    // Opens an image file; expects it to be accepted.
    bool Open(const std::string& path, std::int64_t offset = 0);
    // Opens an image held in memory under the given file title.
    OpenOutcome OpenBytes(std::vector<std::uint8_t> bytes, const std::string& title = "memory.img");
    // Titles of the message boxes shown so far, joined by "|".
    std::string MessageTitles() const;
};
