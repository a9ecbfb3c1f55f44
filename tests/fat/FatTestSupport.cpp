#include "FatTestSupport.h"
#include "Golden.h"

std::string OspreyImages() {
    return FixtureDir() + "/osprey";
}

bool ExplorerRig::Open(const std::string& path, std::int64_t offset) {
    explorer.SetPartitionOffset(offset);
    return explorer.Open(path, opener, sink) == OpenOutcome::Opened;
}

OpenOutcome ExplorerRig::OpenBytes(std::vector<std::uint8_t> bytes, const std::string& title) {
    memory = std::make_unique<MemorySectors>(std::move(bytes), 512);
    return explorer.Attach(OpenedImage::Borrowing(*memory, title), sink);
}

std::string ExplorerRig::MessageTitles() const {
    std::string titles;
    for (const ShownMessage& m : prompts.messages)
        titles += (titles.empty() ? "" : "|") + m.title;
    return titles;
}
