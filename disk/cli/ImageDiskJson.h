// The --json document of the info command (described in docs/json.md): the facts of the
// ImageDisk summary, from the same reader and drive slot.
#pragma once

#include "DriveSlot.h"
#include "cli/JsonOutput.h"

Json ImageDiskInfoJson(const DriveSlot& slot, const std::string& image);
