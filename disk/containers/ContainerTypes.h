// The kinds of image file a disk may come in, and which one a file is.
//
// A file is recognised by its content first: the signatures that the container formats write
// at their start. Formats without a signature are told by their file name extension only where
// the content cannot tell (a .jv3 file, a .cfi file whose track blocks fill it exactly, a .dsk
// file made of SIMH's 137-byte sector records); everything else is a raw sector dump. A type can
// also be named, as libdsk's own tools name them (dskid -types), to override the guess.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

enum class ContainerFamily {
    Raw,       // the file is the disk's bytes
    ImageDisk, // read by our own ImageDisk reader
    Libdsk     // read by libdsk, in a child process
};

struct ContainerType {
    std::string name;  // "raw", "imd", or libdsk's name ("tele", "edsk", ...)
    std::string title; // for messages: "not a <title> image: ..."
    ContainerFamily family = ContainerFamily::Raw;
    bool operator==(const ContainerType&) const = default;
};

// Every type that can be named: raw, imd and libdsk's image file drivers (not its drivers of
// floppy drives, remote drives and folders).
std::vector<ContainerType> ContainerTypes();

// The type called name (without regard to case), or nothing; problem then says why.
std::optional<ContainerType> FindContainerType(const std::string& name, std::string& problem);

// The bytes a detection looks at: the file's start (at least the first 8 KiB when it is
// longer), its length and its name.
struct FileSample {
    std::span<const std::uint8_t> start;
    std::int64_t length = 0;
    std::string fileName;
};
constexpr std::size_t DetectionBytes = 8704;

ContainerType DetectContainer(const FileSample& sample);
