// Running a library that was written for good images on images that may be hostile: the work
// runs in a child process that sends its answer through a pipe. Whatever the child does (a
// crash, an endless loop, an endless answer) the parent gets a failure it can report, within a
// time limit and a bound on the bytes it accepts, and the child is always reaped.
#pragma once

#include "EventHook.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct ChildLimits {
    std::chrono::milliseconds timeLimit{10000};
    std::size_t maxBytes = 24u << 20;
    // About how many bytes the child will send (0: not known), so that they are received into
    // one allocation.
    std::size_t expectedBytes = 0;
    // Called between waits (every 100 ms at most); an abort stops the child.
    EventHook* hook = nullptr;
};

struct ChildOutcome {
    bool ok = false; // the child ended normally with status 0 within the limits
    std::vector<std::uint8_t> bytes;
    std::string failure; // what went wrong, as the end of a sentence ("stopped with signal 11")
};

// Runs body in a child process with the write end of a pipe; the child ends with body's return
// value. The child's standard output and error go to /dev/null, core dumps are off, its CPU
// time is bounded by the time limit and the files it writes to 64 MiB. The child ends with
// _exit: it runs none of the parent's exit handlers.
ChildOutcome RunInChild(const std::function<int(int fd)>& body, const ChildLimits& limits);

// Writes all of bytes to fd; false when the pipe is gone.
bool WriteAll(int fd, const void* bytes, std::size_t size);
