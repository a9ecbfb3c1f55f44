#include "CpmSeeds.h"

#include "AddFiles.h"
#include "BusyPointer.h"
#include "DisplaySink.h"
#include "EventHook.h"
#include "QuarrySession.h"
#include "ScriptedPrompts.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace {

void Write(const fs::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

Bytes Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

} // namespace

void CpmSeeds(const fs::path& dir, const fs::path& work) {
    const std::string line = "A line of text\r\nand another one\r\n\x1A";
    const Bytes text(line.begin(), line.end());
    Bytes binary(9000);
    for (std::size_t i = 0; i < binary.size(); ++i)
        binary[i] = static_cast<std::uint8_t>(i * 13 + i / 300);
    Write(work / "text.txt", text);
    Write(work / "data.bin", binary);
    for (int index = 0; index < FormatCount; ++index) {
        const DiskFormatRow& row = FormatTable()[static_cast<std::size_t>(index)];
        const fs::path image = work / (std::string(row.key) + ".img");
        Write(image, Bytes(static_cast<std::size_t>(row.ImageSize), 0xE5));
        StringSink out;
        ScriptedPrompts prompts;
        EventHook hook;
        BusyPointer busy;
        QuarrySession session(prompts, hook, busy);
        if (session.Open(image.string(), QuarryOpener(), out) != OpenOutcome::Opened)
            throw std::runtime_error("cannot open " + image.string());
        DropFiles(session, out, {(work / "text.txt").string()}, false, std::string("README.TXT"));
        DropFiles(session, out, {(work / "data.bin").string()}, false, std::string("3:DATA.BIN"));
        session.Close();
        // The target's input: the format's index, then the data area from its start.
        const Bytes bytes = Read(image);
        const std::size_t start = static_cast<std::size_t>(row.DataAreaOffset);
        const std::size_t length = std::min<std::size_t>(bytes.size() - start, 80 * 1024);
        Bytes seed(length + 1);
        seed[0] = static_cast<std::uint8_t>(index);
        std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(start), length, seed.begin() + 1);
        // What the target fills in by itself need not be in the seed.
        while (seed.size() > 1 && seed.back() == 0xE5)
            seed.pop_back();
        Write(dir / (std::string(row.key) + ".seed"), seed);
    }
}
