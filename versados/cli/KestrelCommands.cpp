#include "cli/KestrelCommands.h"

#include "cli/ImageDiskCommands.h"

void AddKestrelCommands(CLI::App& app, CommandContext& context) {
    AddImageDiskInfoCommand(app, context, KestrelTitle);
}
