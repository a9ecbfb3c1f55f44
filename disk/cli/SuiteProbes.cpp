#include "cli/SuiteProbes.h"

#include "CpmProbe.h"
#include "FatProbe.h"
#include "SystemVProbe.h"
#include "VersaDOSProbe.h"

std::vector<FileSystemProbe> SuiteProbes() {
    return {ProbeSystemV68, ProbeVersaDOS, ProbeFat, ProbeCpm};
}
