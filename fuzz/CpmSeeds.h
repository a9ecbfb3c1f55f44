// The seeds of the CP/M fuzz target: an image of each of the ten formats with two files added by
// Quarry, written as the target reads its input (the format's index, then the data area).
#pragma once

#include <filesystem>

namespace fs = std::filesystem;

// Writes one seed per format into dir; work is a folder for the images and host files.
void CpmSeeds(const fs::path& dir, const fs::path& work);
