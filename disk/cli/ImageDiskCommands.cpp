#include "cli/ImageDiskCommands.h"

#include "ImageDiskSummary.h"
#include "cli/ImageDiskJson.h"

#include <memory>

std::unique_ptr<ImageDiskDrive> OpenImageForCommand(CommandContext& context,
                                                    const std::string& path,
                                                    const std::string& programTitle) {
    context.prompts.AddQuietTitle("IMD File will Open ");
    std::unique_ptr<ImageDiskDrive> drive =
        OpenImageDiskDrive(path, context.prompts, programTitle, context.program.title);
    if (!drive) throw CommandError("");
    return drive;
}

void AddImageDiskInfoCommand(CLI::App& app, CommandContext& context,
                             const std::string& programTitle) {
    auto image = std::make_shared<std::string>();
    auto json = std::make_shared<bool>(false);
    CLI::App* info = app.add_subcommand(
        "info", "Print the ImageDisk summary: comment, geometry, areas, format changes and why "
                "the image is read-only");
    info->add_option("IMAGE", *image, "ImageDisk (.imd) image")->required();
    info->add_flag("--json", *json, "One JSON document (see docs/json.md)");
    info->callback([image, json, &context, programTitle] {
        const auto drive = OpenImageForCommand(context, *image, programTitle);
        if (*json)
            PrintJson(context.out,
                      ImageDiskInfoJson(drive->Slot(ImageDiskDrive::ImageDrive), *image));
        else
            ImageDiskSummary(context.out, drive->Slot(ImageDiskDrive::ImageDrive));
    });
}
