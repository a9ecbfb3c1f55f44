// The --json documents of Kestrel's catalogs, files and dir (described in docs/json.md), made
// from the catalog records the lists are made of.
#pragma once

#include "KestrelSession.h"
#include "cli/JsonOutput.h"

class EventHook;
class Prompts;

Json KestrelCatalogsJson(KestrelSession& session, const std::string& image, Prompts& prompts,
                         EventHook& hook);
// The files of the catalog selected in the session.
Json KestrelFilesJson(KestrelSession& session, const std::string& image, Prompts& prompts,
                      EventHook& hook);
Json KestrelDirJson(KestrelSession& session, const std::string& image, Prompts& prompts,
                    EventHook& hook);
