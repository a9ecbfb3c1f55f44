#include "cli/TamarinCommands.h"

#include "SystemV68Commands.h"
#include "TamarinSession.h"
#include "cli/ImageDiskCommands.h"

void AddTamarinCommands(CLI::App& app, CommandContext& context) {
    AddImageDiskInfoCommand(app, context, TamarinTitle);
    // The comment box that every open shows is informational here.
    context.prompts.AddQuietTitle("IMD File will Open ");
    AddSystemV68Commands(app, context, std::make_shared<ImageOpener>(TamarinImageOpener()));
}
