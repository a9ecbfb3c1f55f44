// An opener that serves images from memory instead of files: open gives the sectors of a path,
// or nullptr after saying why through the prompts. It keeps the container type each open was
// asked for, so that a test sees the user's choice reach the opener.
#pragma once

#include "ImageOpener.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class MemoryOpener : public ImageOpener {
  public:
    using OpenSectors =
        std::function<std::unique_ptr<SectorSource>(const std::string& path, Prompts& prompts)>;
    explicit MemoryOpener(OpenSectors open)
        : ImageOpener(SectorView::Logical256, "", ""), m_open(std::move(open)) {}
    using ImageOpener::Open;
    std::unique_ptr<OpenedImage> Open(const std::string& path, const OpenChoices& choices,
                                      Prompts& prompts) const override {
        containers.push_back(choices.container);
        std::unique_ptr<SectorSource> sectors = m_open(path, prompts);
        if (!sectors) return nullptr;
        return std::make_unique<OpenedImage>(std::move(sectors),
                                             std::filesystem::path(path).filename().string());
    }
    mutable std::vector<std::string> containers;

  private:
    OpenSectors m_open;
};

inline std::shared_ptr<MemoryOpener> FromMemory(MemoryOpener::OpenSectors open) {
    return std::make_shared<MemoryOpener>(std::move(open));
}
