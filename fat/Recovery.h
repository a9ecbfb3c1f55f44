// Recovery of deleted entries. Deleting a FAT file overwrites the first character of its name
// with 0xE5 and frees its clusters in both FATs; the entry keeps its first cluster and size, and
// the clusters keep their bytes until something else is written there. With the chain gone,
// recovery assumes what sleuthkit assumes: the file ran from its first cluster on through the
// clusters that are still free, passing over those a live file holds now, up to its size. The
// image is never changed: the bytes go to a host file.
#pragma once

#include "FileContents.h"

#include <cstdint>
#include <string>
#include <vector>

class DisplaySink;
class EventHook;
class FatVolume;
struct DirEntry;

struct RecoveryPlan {
    std::vector<std::int32_t> Clusters;   // the clusters taken, in order
    std::vector<std::int32_t> PassedOver; // clusters on the way that a live file holds now
    std::string Problem;                  // why the entry cannot be recovered; empty when it can
};

// The clusters of deleted entry row: a file's from its first cluster up to its size; a
// directory's first cluster only (its size is not recorded). A first cluster that a live file
// holds now leaves nothing to recover (sleuthkit's icat then gives that cluster alone).
RecoveryPlan PlanRecovery(const FatVolume& volume, const DirEntry& row);

// The name of deleted entry row with its lost first character put back (a lower-case letter as
// its capital in the 8.3 name): the surviving long name, else the 8.3 name as the host shows it.
std::string RecoveredName(const DirEntry& row, char first);

struct RecoveryResult {
    SaveResult Save;
    RecoveryPlan Plan;
    bool Saved() const { return Plan.Problem.empty() && Save.Saved(); }
};

// Writes the bytes of deleted file row to path and reports to sink: what was recovered from
// which clusters, and the clusters passed over because a live file holds them now. Nothing is
// written when the plan has a problem.
RecoveryResult RecoverEntry(FatVolume& volume, const DirEntry& row, char first,
                            const std::string& path, DisplaySink& sink, EventHook& hook);
