// Fuzz target of Tamarin's whole headless path (TamarinPath). An input that starts with "IMD "
// is an ImageDisk file opened as Tamarin opens one; any other input is the volume's 256-byte
// logical sectors themselves. Nothing may be written outside the folder the saves were given,
// and the image file must come out unchanged.
#include "FuzzSupport.h"
#include "HeadlessPaths.h"
#include "SectorSource.h"

#include <algorithm>
#include <cstring>

// The super block, the inode list and the first directories and files of a floppy; larger
// inputs only slow the search.
constexpr std::size_t MaxInput = 128 * 1024;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    size = std::min(size, MaxInput); // as libFuzzer cuts a longer seed
    const std::string saves = FreshScratchFolder("saves");
    const std::string image = ScratchDir() + "/image.imd";
    if (size >= 4 && std::memcmp(data, "IMD ", 4) == 0) {
        WriteScratchFile("image.imd", {data, size});
        const FileState before = StateOf(image);
        TamarinImagePath(image, saves);
        RequireUnchanged(image, before, "Tamarin");
    } else {
        TamarinPath(std::make_unique<MemorySectors>(
                        std::vector<std::uint8_t>(data, data + size / 256 * 256), 256),
                    saves);
    }
    RequireNothingOutside({saves}, {image});
    return 0;
}
