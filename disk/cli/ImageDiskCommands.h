// What the commands of Kestrel and Tamarin share: opening the image named on the command line
// into the ImageDisk drive, and the info command (the ImageDisk summary).
#pragma once

#include "ImageDiskDrive.h"
#include "cli/ProgramMain.h"

#include <memory>
#include <string>

// Opens path into slot 1 of a new drive as the window's open does. The comment box is
// informational (printed with --verbose only). A file that cannot be opened or is not an
// ImageDisk image has been reported on standard error; the command then fails with exit
// status 1 (CommandError).
std::unique_ptr<ImageDiskDrive> OpenImageForCommand(CommandContext& context,
                                                    const std::string& path,
                                                    const std::string& programTitle);

// `PROGRAM info IMAGE`: prints the ImageDisk summary. programTitle is the window's bare caption.
void AddImageDiskInfoCommand(CLI::App& app, CommandContext& context,
                             const std::string& programTitle);
