#include "cli/ImageDiskCommands.h"

#include "ImageDiskDrive.h"
#include "ImageDiskSummary.h"
#include "cli/ImageDiskJson.h"

#include <memory>

void AddContainerOption(CLI::App* command, std::string& type) {
    command
        ->add_option("--container", type,
                     "Read the image as this container type instead of the one its content shows")
        ->check(CLI::Validator(
            [](std::string& name) {
                std::string problem;
                return FindContainerType(name, problem) ? std::string() : ContainerUsage(name);
            },
            "TYPE", "container type"));
}

void AddImageDiskInfoCommand(CLI::App& app, CommandContext& context,
                             const std::string& programTitle) {
    struct Arguments {
        std::string image, container;
        bool json = false;
    };
    auto args = std::make_shared<Arguments>();
    CLI::App* info = app.add_subcommand(
        "info", "Print the ImageDisk summary: comment, geometry, areas, format changes and why "
                "the image is read-only (for another container its type, geometry and comment)");
    info->add_option("IMAGE", args->image, "Disk image")->required();
    AddContainerOption(info, args->container);
    info->add_flag("--json", args->json, "One JSON document (see docs/json.md)");
    info->callback([args, &context, programTitle] {
        ImageOpener opener(SectorView::Logical256, programTitle, context.program.title);
        opener.Choices().container = args->container;
        context.prompts.AddQuietTitle("IMD File will Open ");
        const std::unique_ptr<OpenedImage> image = opener.Open(args->image, context.prompts);
        if (!image) throw CommandError("");
        if (!args->json)
            ImageSummaryOf(*image, context.out);
        else if (image->Drive())
            PrintJson(
                context.out,
                ImageDiskInfoJson(image->Drive()->Slot(ImageDiskDrive::ImageDrive), args->image));
        else
            PrintJson(context.out, Json{{"image", args->image}, {"container", image->TypeName()}});
    });
}
