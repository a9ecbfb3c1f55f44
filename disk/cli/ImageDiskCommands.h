// What the commands of the explorers share about opening an image: the --container option
// (Quarry can take the same option through AddContainerOption), and the info command of
// Kestrel and Tamarin (the ImageDisk summary, or the container's type, geometry and comment).
#pragma once

#include "ImageOpener.h"
#include "cli/ProgramMain.h"

#include <string>

// `--container TYPE` on command: a container type to use instead of detecting one (raw, imd or
// a libdsk type name). A name that is no type is a usage error (exit status 2) that lists them.
void AddContainerOption(CLI::App* command, std::string& type);

// `PROGRAM info IMAGE`: prints the summary of the image's container. programTitle is the
// window's bare caption.
void AddImageDiskInfoCommand(CLI::App& app, CommandContext& context,
                             const std::string& programTitle);
