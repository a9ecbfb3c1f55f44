// What the core and the window tests of Quarry share: host files in fresh folders, the text of a
// message box, and cpmtools as the oracle of what Quarry wrote.
#pragma once

#include "Golden.h"
#include "ScriptedPrompts.h"

#include <cstdint>
#include <set>
#include <string>
#include <vector>

using ByteVector = std::vector<std::uint8_t>;

inline auto& ReadFileBytes = ReadHostFile;
inline auto& WriteFileBytes = WriteHostFile;
// "TITLE: TEXT" of a message box.
std::string Said(const ShownMessage& message);

// cpmtools run in a folder of its own that holds our diskdefs of the ten formats and is HOME for
// libdsk's rc file; Installed() is false when it is missing.
class Cpmtools {
  public:
    static bool Installed();
    Cpmtools();
    // cpmtools given these definitions and libdsk geometries instead.
    Cpmtools(const std::string& diskdefs, const std::string& libdskrc);
    // Runs a command line there; returns its exit status, its output in *output.
    int Run(const std::string& command, std::string* output = nullptr) const;
    // "user:name.typ" for every file cpmls lists (lower case, as it prints them), or what it said
    // when it failed.
    std::set<std::string> List(const std::string& format, const std::string& image) const;
    // A file as cpmcp extracts it, or what cpmcp said when it failed.
    ByteVector Get(const std::string& format, const std::string& image,
                   const std::string& file) const;
    // Copies a host file onto the image with cpmcp; "" or what cpmcp said when it failed.
    std::string Put(const std::string& format, const std::string& image, const std::string& host,
                    const std::string& file) const;
    // fsck.cpm -n: "" when it finds nothing to mend, otherwise the lines of its errors.
    std::string Check(const std::string& format, const std::string& image) const;

  private:
    std::string m_home;
};
