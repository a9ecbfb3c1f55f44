// Damaged and hostile images: every byte 0x00 or 0xFF, and directories with random bytes. Every
// command must finish without a crash or a hang, and the image must keep its size. Hostile disk
// definitions: whatever a definition says, a format taken from it stays inside its bounds.
#include "QuarryTest.h"

#include "AddFiles.h"
#include "FileCommands.h"
#include "modFile.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

namespace {

// Runs every reading command on every listed file, then the writing ones on the first.
void Exercise(TestImage& t) {
    CpmDirectory& dir = t.session.directory();
    for (bool sorted : {false, true}) {
        dir.SetSorted(sorted);
        t.session.ShowDirectory(false, t.out);
        t.session.ShowDirectory(true, t.out);
    }
    const std::vector<std::string> names = dir.FileList();
    NoSettings settings;
    modFile files(ProgramCopy::Quarry, t.prompts, settings);
    for (std::size_t i = 0; i < names.size() && i < 8; ++i) {
        t.Select(names[i]);
        TypeFile(t.session, t.out);
        DumpFile(t.session, t.out);
        t.prompts.fileAnswers.push_back({t.folder + "/out.bin", false});
        UploadFile(t.session, files);
    }
    if (!names.empty()) {
        t.Select(names.front());
        RenameFile(t.session, t.out, "9:NEW.NAM");
        t.session.directory().ShowAll(t.out);
        if (!t.session.directory().FileList().empty()) {
            t.Select(t.session.directory().FileList().front());
            EraseFile(t.session, t.out, true);
        }
    }
    WipeFreeSpace(t.session, t.out);
    DropFiles(t.session, t.out, {t.HostFile("add.bin", PatternBytes(5000, 1))}, false,
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

TEST(Hostile, MutatedDiskDefinitions) {
    // Quarry's own definitions under other names, so that they are not taken for its own.
    std::string good(BundledDiskdefsText());
    for (std::size_t at = 0; (at = good.find("diskdef ", at)) != std::string::npos; at += 10)
        good.insert(at + 8, "m-");
    const char* const words[] = {
        "diskdef X",
        "end",
        "seclen 0",
        "tracks 99999999999",
        "sectrk -3",
        "blocksize 65536",
        "maxdir 70000",
        "skew 27",
        "skewtab 0,0,1",
        "skewtab 0,0,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,23,24,25",
        "skewtab 9999999",
        "boottrk 999",
        "bootsec 7",
        "offset 4T",
        "offset 99999M",
        "offset 3Z",
        "os 4",
        "logicalextents 33",
        "dirblks 99",
        "#",
        "\n",
        "\0",
        "\xff"};
    std::mt19937 random(20261207u);
    int kept = 0, refused = 0;
    for (int round = 0; round < 300; ++round) {
        std::string text = good;
        for (int k = 0, n = 1 + static_cast<int>(random() % 8); k < n; ++k) {
            const std::size_t at = random() % text.size();
            switch (random() % 4) {
            case 0:
                text[at] = static_cast<char>(random());
                break;
            case 1:
                text.erase(at, random() % 40);
                break;
            case 2:
                text.insert(at, std::string(" ") + words[random() % std::size(words)]);
                break;
            default: // a whole line of its own
                text.insert(std::min(text.size(), text.find('\n', at)),
                            std::string("\n ") + words[random() % std::size(words)]);
            }
        }
        FormatCatalog catalog;
        catalog.AddText(text, "mutated");
        refused += static_cast<int>(catalog.Problems().size());
        for (int i = FormatCount; i < catalog.Count(); ++i) {
            const CpmFormat& f = catalog.At(i);
            ++kept;
            SCOPED_TRACE(f.source);
            ASSERT_GT(f.DSM, 0);
            ASSERT_LT(f.DSM, 65536);
            ASSERT_LE(f.ImageSize, MaxImageBytes);
            ASSERT_LT((f.DRM + 1) * 32, (f.DSM + 1) * (RecordSize << f.BSH));
            std::set<int> sectors(f.skew.begin(), f.skew.end());
            ASSERT_EQ(static_cast<int>(sectors.size()), f.sectorsPerTrack);
            ASSERT_EQ(*sectors.rbegin(), f.sectorsPerTrack - 1);
            ASSERT_GE(f.FilePosition(0), 0);
            ASSERT_LT(f.FilePosition((f.DSM + 1) * std::int64_t{RecordSize << f.BSH} - 1),
                      f.ImageSize);
        }
    }
    EXPECT_GT(kept, 300);
    EXPECT_GT(refused, 30);
}

} // namespace
