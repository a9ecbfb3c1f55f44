// Names from a disk image turned into names of host files. Every name on an image may hold
// anything: "/", NUL, "." or "..", or the same name twice in one directory. A save that writes
// many files makes each name one safe path component and keeps the names it hands out within
// one folder apart, so no file leaves the chosen folder and none overwrites another.
#pragma once

#include <map>
#include <string>
#include <string_view>

// One host path component: "/" and NUL become "_", an empty name "_", "." and ".." become "_"
// and "__". Every other character is kept.
std::string SafeComponent(std::string_view name);

// The names handed out in one host folder during one save. The first claim of a name gets it
// as it is; a later claim of the same name gets "NAME~2.EXT", "NAME~3.EXT" and so on (the
// number goes before the last ".", or at the end without one), skipping any name already
// handed out. Names are compared exactly, as the host compares them.
class FolderNames {
  public:
    std::string Claim(const std::string& name);
    // Whether name was handed out in this folder.
    bool Holds(const std::string& name) const { return m_taken.count(name) != 0; }

  private:
    std::map<std::string, int> m_taken; // name handed out -> the last number tried for it
};

// FolderNames for every folder of one save, keyed by the folder's host path.
class SaveNames {
  public:
    // A unique name for name in folder; when it differs from name the caller says so in its
    // report.
    std::string Claim(const std::string& folder, const std::string& name) {
        return m_folders[folder].Claim(name);
    }

  private:
    std::map<std::string, FolderNames> m_folders;
};
