// Host files open by number, the way the programs address them: the image is file number 1
// while it is open. The drive store opens and closes the numbers; the ImageDisk reader reads the
// file whose number it is given.
#pragma once

#include "ImageFile.h"

#include <map>
#include <memory>

class HostFiles {
  public:
    // Opens path read-only under number, closing whatever was open under it.
    HostError OpenForRead(int number, const std::string& path) {
        auto file = std::make_unique<ImageFile>();
        if (HostError error = file->Open(path)) {
            m_files.erase(number);
            return error;
        }
        m_files[number] = std::move(file);
        return {};
    }
    void Close(int number) { m_files.erase(number); }
    void CloseAll() { m_files.clear(); }
    // The file open under number, or nullptr.
    ImageFile* File(int number) const {
        const auto it = m_files.find(number);
        return it == m_files.end() ? nullptr : it->second.get();
    }

  private:
    std::map<int, std::unique_ptr<ImageFile>> m_files;
};
