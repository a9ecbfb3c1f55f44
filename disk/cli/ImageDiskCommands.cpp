#include "cli/ImageDiskCommands.h"

#include "ImageDiskSummary.h"

#include <filesystem>
#include <memory>

void OpenImageForCommand(ImageDiskDrive& drive, CommandContext& context, const std::string& path) {
    context.prompts.AddQuietTitle("IMD File will Open ");
    const std::string fileTitle = std::filesystem::path(path).filename().string();
    const ImageDiskDrive::OpenResult result = drive.OpenImage(path, fileTitle);
    if (result.openError) {
        context.prompts.MessageBox("Error", ErrorReport(result.openError, context.program.title));
        throw CommandError("");
    }
    if (!result.accepted) throw CommandError("");
}

void AddImageDiskInfoCommand(CLI::App& app, CommandContext& context,
                             const std::string& programTitle) {
    auto image = std::make_shared<std::string>();
    CLI::App* info = app.add_subcommand(
        "info", "Print the ImageDisk summary: comment, geometry, areas, format changes and why "
                "the image is read-only");
    info->add_option("IMAGE", *image, "ImageDisk (.imd) image")->required();
    info->callback([image, &context, programTitle] {
        ImageDiskDrive drive(context.prompts, programTitle);
        OpenImageForCommand(drive, context, *image);
        ImageDiskSummary(context.out, drive.Slot(ImageDiskDrive::ImageDrive));
    });
}
