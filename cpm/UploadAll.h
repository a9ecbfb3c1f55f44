// Upload All: every file of the image that matches one of a list of patterns, each into a host
// file of its own in one folder (in a folder per user, "DIR/5/", when the patterns ask for more
// than one user). Host names are made of the CP/M names as every Save All makes them: a safe
// path component, and a name handed out once per folder (a second "PIP.COM", the same name
// with bit 7 of a letter set, becomes "PIP~2.COM"); the report shows every name that differs
// from the CP/M name. Nothing is written outside the folder chosen, and never over the image.
#pragma once

#include "CpmNames.h"

#include <string>
#include <vector>

class DisplaySink;
class QuarrySession;

struct UploadAllResult {
    int total = 0; // files that match
    int saved = 0;
    int failed = 0;
};

// Reports a line per file ("Saved - PATH", "Failed - PATH  (why)") and the counts into the
// display pane; STOP ends the walk between files.
UploadAllResult UploadAll(QuarrySession& session, DisplaySink& out,
                          const std::vector<CpmPattern>& patterns, const std::string& folder);
