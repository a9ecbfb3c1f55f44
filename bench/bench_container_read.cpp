// Reads a whole disk image through the container layer, as every program will open one, and
// writes its flat view to a raw file: the work `dsktrans -otype raw` does for the same image.
//   bench_container_read IMAGE OUT
#include "DiskContainer.h"
#include "OutputFile.h"

#include <cstdio>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: bench_container_read IMAGE OUT\n");
        return 2;
    }
    const OpenedContainer opened = OpenContainer(argv[1]);
    if (!opened.container) {
        std::fprintf(stderr, "%s\n", opened.error.c_str());
        return 1;
    }
    DiskBytes& flat = opened.container->Flat();
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(flat.Size()));
    OutputFile out;
    if (!flat.Read(0, bytes) || !out.Open(argv[2]) || !out.Write(bytes) || !out.Close()) {
        std::fprintf(stderr, "cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
