// Fuzz target of the ImageDisk reader and drive: the input is an .imd file, run through
// ImageDiskPath (open, index, info summary, every logical sector). The image file must come
// out unchanged.
#include "FuzzSupport.h"
#include "HeadlessPaths.h"

#include <algorithm>

// Every kind of record fits in much less than a full 8-inch floppy image (about 1 MB); larger
// inputs only slow the search.
constexpr std::size_t MaxInput = 128 * 1024;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    size = std::min(size, MaxInput); // as libFuzzer cuts a longer seed
    const std::string image = WriteScratchFile("image.imd", {data, size});
    const FileState before = StateOf(image);
    ImageDiskPath(image);
    RequireUnchanged(image, before, "the ImageDisk drive");
    return 0;
}
