#include "cli/KestrelCommands.h"

#include "KestrelSession.h"
#include "VersaDOSCommands.h"
#include "cli/ImageDiskCommands.h"

void AddKestrelCommands(CLI::App& app, CommandContext& context) {
    AddImageDiskInfoCommand(app, context, KestrelTitle);
    AddVersaDOSCommands(app, context, std::make_shared<ImageOpener>(KestrelImageOpener()));
}
