// The --json documents of Osprey's ls, boot and partitions (described in docs/json.md), made
// from the same rows, boot sector and partition entries as the text.
#pragma once

#include "FatExplorer.h"
#include "Partitions.h"
#include "cli/JsonOutput.h"

#include <vector>

// DOS date and time as ISO 8601 ("1994-05-31T23:59:58", "1994-05-31"); null for a zero date.
Json DosDateTime(std::int32_t date, std::int32_t time);
Json DosDate(std::int32_t date);

Json OspreyListJson(FatExplorer& explorer, const std::string& image, const std::string& path);
Json OspreyBootJson(FatExplorer& explorer, const std::string& image);
Json OspreyPartitionsJson(const std::vector<PartitionEntry>& entries, const std::string& image);
