// The folders a save that writes many files makes below the folder the user chose. Their names
// come from an image (see HostNames.h); each is made below the one before it, and one that
// cannot be made is named, so that the files meant for it can be counted as failed.
#pragma once

#include <string>
#include <vector>

// Makes root/parts[0]/parts[1]/... one folder at a time, keeping the ones that exist as folders.
// root itself must be a folder. False when one cannot be made: problem then names it and says
// why ("The folder /out/KEST cannot be made: a file of that name is in the way"). A symbolic
// link is never followed.
bool MakeFolders(const std::string& root, const std::vector<std::string>& parts,
                 std::string& problem);
