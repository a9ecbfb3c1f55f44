// Damaged and hostile images: every byte 0x00 or 0xFF, and directories with random bytes. Every
// command must finish without a crash or a hang, and the image must keep its size.
#include "QuarryTest.h"

#include "AddFiles.h"
#include "FileCommands.h"
#include "modFile.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// Runs every reading command on every listed file, then the writing ones on the first.
void Exercise(TestImage& t) {
    CpmDirectory& dir = t.session.directory();
    for (bool sorted : {false, true}) {
        dir.SetSorted(sorted);
        t.session.cmdDirectory(false);
        t.session.cmdDirectory(true);
    }
    const std::vector<std::string> names = dir.FileList();
    NoSettings settings;
    modFile files(ProgramCopy::Quarry, t.prompts, settings);
    for (std::size_t i = 0; i < names.size() && i < 8; ++i) {
        t.Select(names[i]);
        TypeFile(t.session);
        DumpFile(t.session);
        t.prompts.fileAnswers.push_back({t.folder + "/out.bin", false});
        UploadFile(t.session, files);
    }
    if (!names.empty()) {
        t.Select(names.front());
        t.prompts.inputAnswers = {std::string("9:NEW.NAM")};
        RenameFile(t.session);
        t.session.directory().ShowAll();
        if (!t.session.directory().FileList().empty()) {
            t.Select(t.session.directory().FileList().front());
            EraseFile(t.session, true);
        }
    }
    WipeFreeSpace(t.session);
    DropFiles(t.session, {t.HostFile("add.bin", PatternBytes(5000, 1))}, false,
              std::string("ADDED.BIN"));
}

TEST(Hostile, UniformImages) {
    for (const DiskFormatRow& row : FormatTable()) {
        const std::string format = row.name;
        for (std::uint8_t fill : {std::uint8_t{0x00}, std::uint8_t{0xFF}}) {
            SCOPED_TRACE(format + " filled with " + std::to_string(fill));
            TestImage t(format, fill, "uniform");
            const std::size_t size = t.Bytes().size();
            Exercise(t);
            EXPECT_EQ(t.Bytes().size(), size);
        }
    }
}

TEST(Hostile, RandomDirectoryBytes) {
    std::mt19937 random(20240601u);
    for (const DiskFormatRow& row : FormatTable()) {
        const std::string format = row.name;
        SCOPED_TRACE(format);
        TestImage t(format, 0xE5, "mutated");
        ASSERT_TRUE(t.Add(t.HostFile("a", PatternBytes(40000, 2)), "A.DAT"));
        ASSERT_TRUE(t.Add(t.HostFile("b", PatternBytes(3000, 3)), "3:B.COM"));
        const DiskFormat& f = t.session.Format();
        const std::size_t size = t.Bytes().size();
        for (int round = 0; round < 6; ++round) {
            ByteVector bytes = t.Bytes();
            // Flip bytes of the first directory records: status, names, counts and pointers.
            for (int k = 0; k < 40; ++k) {
                const std::int64_t offset = random() % (8 * 128);
                bytes[static_cast<std::size_t>(f.FilePosition(offset))] =
                    static_cast<std::uint8_t>(random());
            }
            WriteFileBytes(t.path, bytes);
            t.Reopen();
            Exercise(t);
            ASSERT_EQ(t.Bytes().size(), size);
        }
    }
}

} // namespace
