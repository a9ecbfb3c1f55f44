// Which program of the suite opens an image that this program refuses. A program's start hands
// in the finder (it identifies the image with the probes of every file system); the cores and
// commands call OpenWithHint at the points where they refuse an image, so that the message
// names the program to use instead: "This is a FAT12 volume: open it with Osprey".
#pragma once

#include <functional>
#include <string>

using OpenWithFinder = std::function<std::string(const std::string& path)>;

void SetOpenWithFinder(OpenWithFinder finder);
// The sentence for the image at path; empty when no finder is set, or when no other program of
// the suite opens the image.
std::string OpenWithHint(const std::string& path);
// text, and the sentence on a line of its own when there is one.
std::string WithOpenWithHint(const std::string& text, const std::string& path);
