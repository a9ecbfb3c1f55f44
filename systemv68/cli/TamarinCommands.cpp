#include "cli/TamarinCommands.h"

#include "cli/ImageDiskCommands.h"

void AddTamarinCommands(CLI::App& app, CommandContext& context) {
    AddImageDiskInfoCommand(app, context, TamarinTitle);
}
