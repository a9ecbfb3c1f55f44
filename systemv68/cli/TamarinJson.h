// The --json documents of Tamarin's ls, inodes and superblock (described in docs/json.md),
// made from the directory entries, inodes and super block the text is made of.
#pragma once

#include "TamarinSession.h"
#include "cli/JsonOutput.h"

Json TamarinListJson(TamarinSession& session, const std::string& image, const std::string& path,
                     std::int32_t directory);
Json TamarinInodesJson(TamarinSession& session, const std::string& image);
Json TamarinSuperBlockJson(TamarinSession& session, const std::string& image);
