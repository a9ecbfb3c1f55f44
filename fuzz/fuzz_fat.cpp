// Fuzz target of Osprey's whole headless path (OspreyPath): the input is a flat image file.
// Nothing may be written outside the folders the saves were given, and the image file must come
// out unchanged.
#include "FuzzSupport.h"
#include "HeadlessPaths.h"

#include <algorithm>

// A floppy's boot sector, FATs, root and first two hundred clusters; larger inputs only slow
// the search.
constexpr std::size_t MaxInput = 128 * 1024;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    size = std::min(size, MaxInput); // as libFuzzer cuts a longer seed
    const std::string image = WriteScratchFile("image.img", {data, size});
    const FileState before = StateOf(image);
    const std::string saves = FreshScratchFolder("saves");
    const std::string target = FreshScratchFolder("target");
    OspreyPath(image, saves, target);
    RequireUnchanged(image, before, "Osprey");
    RequireNothingOutside({saves, target}, {image});
    return 0;
}
