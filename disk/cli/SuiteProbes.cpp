#include "cli/SuiteProbes.h"

#include "CpmProbe.h"
#include "FatProbe.h"
#include "Identify.h"
#include "OpenWith.h"
#include "SystemVProbe.h"
#include "VersaDOSProbe.h"

std::vector<FileSystemProbe> SuiteProbes() {
    return {ProbeSystemV68, ProbeVersaDOS, ProbeFat, ProbeCpm};
}

void InstallOpenWithFinder(const std::string& program) {
    SetOpenWithFinder([program](const std::string& path) {
        const std::vector<FileSystemProbe> probes = SuiteProbes();
        const Identification id = IdentifyImage(path, probes);
        return id.found ? OpenWithText(*id.found, program) : std::string();
    });
}
