// The --json documents of Quarry's dir and dir --erased (described in docs/json.md), made from
// the same directory scan and the same gathering of erased files as the text listings.
#pragma once

#include "CpmDirectory.h"
#include "cli/JsonOutput.h"

#include <string>

// Every live file of the last scan (a file is its user and name), in the order of the SHORT
// listing, with the listing's summary. sorted: in the order of the sorted listing.
Json QuarryDirJson(const CpmDirectory& directory, const DiskFormat& format,
                   const std::string& image, bool sorted);
// Every erased file of directory (entry n at index n) and whether it can be undeleted.
Json QuarryErasedJson(const std::vector<DirEntry>& directory, const DiskFormat& format,
                      const std::string& image);
