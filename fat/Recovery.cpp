#include "Recovery.h"

#include "DirEntry.h"
#include "DisplaySink.h"
#include "FatVolume.h"
#include "modUtility.h"

namespace {

// A cluster whose sectors lie in the volume's data area (the test the chain walk uses).
bool IsDataCluster(const FatVolume& volume, std::int64_t cluster) {
    const std::int64_t firstMark = volume.FatType() == 12 ? 0xFF8 : 0xFFF8;
    return cluster >= 2 && cluster < volume.Layout().ClusterCount && cluster < firstMark &&
           volume.ClusterToLSN(cluster) + volume.Boot().SectorsPerCluster <=
               volume.Layout().TotalSectors;
}

// "5", "5-7, 9": runs of consecutive clusters.
std::string ClusterRuns(const std::vector<std::int32_t>& clusters) {
    std::string text;
    for (std::size_t i = 0; i < clusters.size();) {
        std::size_t j = i;
        while (j + 1 < clusters.size() && clusters[j + 1] == clusters[j] + 1)
            ++j;
        if (!text.empty()) text += ", ";
        text += std::to_string(clusters[i]);
        if (j > i) text += "-" + std::to_string(clusters[j]);
        i = j + 1;
    }
    return text;
}

} // namespace

RecoveryPlan PlanRecovery(const FatVolume& volume, const DirEntry& row) {
    RecoveryPlan plan;
    const std::int64_t first = row.FirstCluster;
    const std::int64_t clusterBytes = volume.ClusterBytes();
    if (row.IsFile() && row.Size == 0) return plan;
    if (!IsDataCluster(volume, first) || clusterBytes <= 0) {
        plan.Problem = "it starts at cluster " + std::to_string(first) +
                       ", which is not a data cluster of this volume";
        return plan;
    }
    // The bytes there now are a live file's: nothing of the deleted file's start is left.
    if (volume.FatEntry(first) != 0) {
        plan.Problem = "its first cluster " + std::to_string(first) + " is now held by a live file";
        return plan;
    }
    plan.Clusters.push_back(static_cast<std::int32_t>(first));
    const std::int64_t needed = row.IsFile() ? (row.Size + clusterBytes - 1) / clusterBytes : 1;
    // The walk ends at the end of the data area, so a size larger than the volume ends it too.
    std::int64_t c = first + 1;
    for (; static_cast<std::int64_t>(plan.Clusters.size()) < needed && IsDataCluster(volume, c);
         ++c) {
        if (volume.FatEntry(c) != 0)
            plan.PassedOver.push_back(static_cast<std::int32_t>(c));
        else
            plan.Clusters.push_back(static_cast<std::int32_t>(c));
    }
    if (static_cast<std::int64_t>(plan.Clusters.size()) < needed)
        plan.Problem = "its " + std::to_string(row.Size) + " bytes need " + std::to_string(needed) +
                       " clusters, but only " + std::to_string(plan.Clusters.size()) +
                       " are free from cluster " + std::to_string(first) +
                       " to the end of the volume";
    return plan;
}

std::string RecoveredName(const DirEntry& row, char first) {
    if (!row.LongName.empty()) return row.LongName;
    DirEntry named = row;
    named.Name[0] = first >= 'a' && first <= 'z' ? static_cast<char>(first - 'a' + 'A') : first;
    // A lower-case flag lowers the character put back with the rest of the name.
    return CasedShortName(named);
}

RecoveryResult RecoverEntry(FatVolume& volume, const DirEntry& row, char first,
                            const std::string& path, DisplaySink& sink, EventHook& hook) {
    RecoveryResult result;
    result.Plan = PlanRecovery(volume, row);
    const RecoveryPlan& plan = result.Plan;
    const std::string name = RecoveredName(row, first);
    sink.Clear();
    if (!plan.Problem.empty()) {
        sink.Append(name + " cannot be recovered: " + plan.Problem + CRLF);
        return result;
    }
    result.Save = SaveClusters(volume, row, plan.Clusters, path, hook);
    if (!result.Save.Saved()) return result;
    std::string text = "Recovered " + name + ": " + std::to_string(row.Size) + " bytes";
    if (!plan.Clusters.empty())
        text += std::string(plan.Clusters.size() > 1 ? " from clusters " : " from cluster ") +
                ClusterRuns(plan.Clusters);
    text += CRLF;
    if (!plan.PassedOver.empty()) {
        const bool several = plan.PassedOver.size() > 1;
        text += std::string("Passed over, held by a live file now: cluster") +
                (several ? "s " : " ") + ClusterRuns(plan.PassedOver) + ". If " + name +
                " ran through " + (several ? "them" : "it") +
                ", the bytes after that are not its own" + CRLF;
    }
    sink.Append(text);
    return result;
}
