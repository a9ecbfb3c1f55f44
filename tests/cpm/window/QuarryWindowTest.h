// Quarry's window under test, and the host files and images its tests work with.
#pragma once

#include "QuarryTestSupport.h"
#include "WindowDriver.h"
#include "window/frmQuarry.h"

#include <cstdint>
#include <string>
#include <vector>

// Printable text lines, different for every seed.
ByteVector TextBytes(std::size_t size, unsigned seed);
// An image of the format's exact size, filled with fill.
std::string MakeImage(const std::string& folder, const std::string& format,
                      std::uint8_t fill = 0xE5);

struct Quarry : WindowUnderTest<frmQuarry> {
    using WindowUnderTest::WindowUnderTest;
    // The names in the file list.
    QStringList Files() const { return Items("cmboFileList"); }
    // Host files dropped on the drop zone.
    void AddByDrop(const std::vector<std::string>& paths) const {
        QStringList list;
        for (const std::string& path : paths)
            list << QString::fromStdString(path);
        Drop(list, "picDropZone");
    }
};
