// Adding host files: names and their prompts, entry fields, padding, block reuse, and refusals
// that leave the image unchanged.
#include "QuarryTest.h"

#include "AddFiles.h"
#include "CpmNames.h"
#include "FileCommands.h"

#include <gtest/gtest.h>
#include <memory>
#include <numeric>
#include <sys/stat.h>
#include <thread>

namespace {

std::vector<DirEntry> FileEntries(TestImage& t) {
    std::vector<DirEntry> files;
    for (const DirEntry& e : t.Entries())
        if (e.IsFile()) files.push_back(e);
    return files;
}

TEST(AddFiles, EntryFieldsOfTheExampleSizes) {
    TestImage t("IBM-3740");
    ASSERT_TRUE(t.Add(t.HostFile("empty", {}), "EMPTY"));
    ASSERT_TRUE(t.Add(t.HostFile("x16k", PatternBytes(16384, 3)), "X16K.BIN"));
    std::vector<DirEntry> files = FileEntries(t);
    ASSERT_EQ(files.size(), 2u);
    // An empty file: one entry, no records, no blocks.
    EXPECT_EQ(files[0].bytes, MakeEntry(0, "00:EMPTY   .   ", 0, 0, {}).bytes);
    std::vector<int> blocks(16);
    std::iota(blocks.begin(), blocks.end(), 2);
    EXPECT_EQ(files[1].bytes, MakeEntry(0, "00:X16K    .BIN", 0, 128, blocks).bytes);

    TestImage j("J50-DSDD");
    ASSERT_TRUE(j.Add(j.HostFile("x100k", PatternBytes(102400, 4)), "X100K.BIN"));
    files = FileEntries(j);
    ASSERT_EQ(files.size(), 2u);
    std::iota(blocks.begin(), blocks.end(), 1);
    EXPECT_EQ(files[0].bytes, MakeEntry(0, "00:X100K   .BIN", 3, 128, blocks).bytes);
    blocks = {17, 18, 19, 20, 21, 22, 23, 24, 25};
    EXPECT_EQ(files[1].bytes, MakeEntry(0, "00:X100K   .BIN", 6, 32, blocks).bytes);
    EXPECT_EQ(j.Upload("00:X100K   .BIN"), PatternBytes(102400, 4));
}

TEST(AddFiles, ExtentNumbersAboveThirtyOneGoToS2) {
    // 600 KB on PC-4104: 38 extents, one per entry; the last carries extent 37 = 5 + 32 x 1 and
    // half a logical extent.
    TestImage t("PC-4104");
    const ByteVector data = PatternBytes(600 * 1024, 5);
    ASSERT_TRUE(t.Add(t.HostFile("big", data), "BIG.DAT"));
    const std::vector<DirEntry> files = FileEntries(t);
    ASSERT_EQ(files.size(), 38u);
    EXPECT_EQ(files.back().EX(), 5);
    EXPECT_EQ(files.back().S2(), 1);
    EXPECT_EQ(files.back().RC(), 64);
    EXPECT_EQ(files[31].EX(), 31);
    EXPECT_EQ(files[31].S2(), 0);
    EXPECT_EQ(t.Upload("00:BIG     .DAT"), data);
}

TEST(AddFiles, LowestFreeBlocksAreReusedAfterErase) {
    TestImage t("IBM-3740");
    ASSERT_TRUE(t.Add(t.HostFile("a", PatternBytes(3000, 1)), "A"));
    ASSERT_TRUE(t.Add(t.HostFile("b", PatternBytes(2000, 2)), "B"));
    t.Select("00:A       .   ");
    ASSERT_TRUE(EraseFile(t.session, t.out, false));
    ASSERT_TRUE(t.Add(t.HostFile("c", PatternBytes(5000, 3)), "C"));
    EXPECT_EQ(t.Blocks("00:C       .   "), (std::vector<int>{2, 3, 4, 7, 8}));
    // The freed entry is taken again as well.
    EXPECT_EQ(t.Entries()[0].TextName(), "00:C       .   ");
    EXPECT_EQ(t.Upload("00:B       .   "), PatternBytes(2000, 2));
}

TEST(AddFiles, NamePromptsAndAnswers) {
    TestImage t("IBM-3740");
    const std::string host = t.HostFile("my_file.text", ByteVector(10, 'x'));
    t.prompts.inputAnswers.push_back(std::string("7:PIP.COM"));
    EXPECT_EQ(DropFiles(t.session, t.out, {host}, false, std::nullopt, t.AskName()), 1);
    ASSERT_EQ(t.prompts.inputs.size(), 1u);
    EXPECT_EQ(t.prompts.inputs[0].title, "Invalid CPM Name");
    EXPECT_EQ(t.prompts.inputs[0].prompt,
              "Bad Name - my_file.text\r\nSuggested Name is 00:MYFILE  .TEX\r\n\r\n"
              "Input New Valid CPM Name or click Cancel to skip..");
    EXPECT_EQ(t.prompts.inputs[0].defaultText, "00:MYFILE  .TEX");
    EXPECT_TRUE(t.session.directory().FileExists("07:PIP     .COM"));

    // The same name again: "CPM File Exists". The answer is a typed name: a user above 15 is
    // refused with the reason; without a prefix the name takes the window's user.
    t.session.SetUserNumber(2);
    t.prompts.inputs.clear();
    t.prompts.inputAnswers = {std::string("21:PIP.COM"), std::string("PIP.COM")};
    EXPECT_EQ(DropFiles(t.session, t.out, {host}, false, std::string("7:PIP.COM"), t.AskName()), 1);
    ASSERT_EQ(t.prompts.inputs.size(), 2u);
    EXPECT_EQ(t.prompts.inputs[0].title, "CPM File Exists");
    EXPECT_EQ(
        t.prompts.inputs[0].prompt,
        "File Exists - 07:PIP     .COM\r\nInput New Valid CPM Name or click Cancel to skip..");
    EXPECT_EQ(t.prompts.inputs[1].prompt,
              "Bad Name - 21:PIP.COM\r\nuser number 21 is above 15\r\nSuggested Name is "
              "00:PIP     .COM\r\n\r\nInput New Valid CPM Name or click Cancel to skip..");
    EXPECT_TRUE(t.session.directory().FileExists("02:PIP     .COM"));

    // A host name of which no CP/M name is left: asked for with the reason, no suggestion.
    t.prompts.inputs.clear();
    EXPECT_EQ(
        DropFiles(t.session, t.out, {t.HostFile("*.?", {1})}, false, std::nullopt, t.AskName()), 0);
    ASSERT_EQ(t.prompts.inputs.size(), 1u);
    EXPECT_EQ(t.prompts.inputs[0].prompt, "Bad Name - *.?\r\nno CP/M name is left of it\r\n\r\n"
                                          "Input New Valid CPM Name or click Cancel to skip..");
    EXPECT_EQ(t.prompts.inputs[0].defaultText, "");

    // Cancel skips the file silently.
    const ByteVector before = t.Bytes();
    t.prompts.messages.clear();
    EXPECT_EQ(DropFiles(t.session, t.out, {host}, false, std::nullopt, t.AskName()), 0);
    EXPECT_TRUE(t.prompts.messages.empty());
    EXPECT_EQ(t.Bytes(), before);
}

TEST(AddFiles, DropHandlerRefusals) {
    TestImage t("IBM-3740");
    const std::string folder = t.folder + "/sub";
    ::mkdir(folder.c_str(), 0755);
    const std::string good = t.HostFile("good.txt", ByteVector(300, 'g'));
    EXPECT_EQ(DropFiles(t.session, t.out, {folder, good}), 1);
    ASSERT_GE(t.prompts.messages.size(), 1u);
    EXPECT_EQ(Said(t.prompts.messages[0]), "Can NOT process directories: Encountered directory - "
                                           "\r\n\r\n" +
                                               folder + "\r\n\r\nPlease select files only");
    EXPECT_TRUE(t.session.directory().FileExists("00:GOOD    .TXT"));

    t.prompts.messages.clear();
    const ByteVector before = t.Bytes();
    const std::string big = t.HostFile("big.bin", PatternBytes(300 * 1024, 1));
    EXPECT_EQ(DropFiles(t.session, t.out, {big, t.folder + "/missing.bin"}), 0);
    ASSERT_EQ(t.prompts.messages.size(), 3u);
    EXPECT_EQ(Said(t.prompts.messages[0]),
              "No Space for File: File - " + big +
                  "\r\nRequires - 300 Blocks\r\nBlocks Availible - 240");
    EXPECT_EQ(t.prompts.messages[1].title, "Error Getting File Size");
    EXPECT_EQ(Said(t.prompts.messages[2]),
              "Error Retrieving File's Size: Maybe > 2Gb or No Access");
    EXPECT_EQ(t.Bytes(), before);

    // 32 MB and more: "File TOO Big" (a sparse file costs no disk).
    const std::string huge = t.folder + "/huge.bin";
    WriteFileBytes(huge, {});
    // Beyond 2 GB the size is still read: the file is too big, not unreadable.
    for (std::int64_t size : {MaxCpmFileSize, std::int64_t{3} << 30}) {
        ASSERT_EQ(::truncate(huge.c_str(), size), 0);
        t.prompts.messages.clear();
        EXPECT_EQ(DropFiles(t.session, t.out, {huge}), 0);
        ASSERT_EQ(t.prompts.messages.size(), 1u);
        EXPECT_EQ(Said(t.prompts.messages[0]),
                  "File TOO Big: CPM does not support Files Greater than 32MB");
    }

    // Plain text dropped: nothing happens.
    t.prompts.messages.clear();
    EXPECT_EQ(DropFiles(t.session, t.out, {good}, true), 0);
    EXPECT_TRUE(t.prompts.messages.empty());
}

TEST(AddFiles, DirectoryFullAndReadOnly) {
    TestImage t("IBM-3740", 0x00);
    EXPECT_EQ(DropFiles(t.session, t.out, {t.HostFile("a", {1})}), 0);
    ASSERT_EQ(t.prompts.messages.size(), 1u);
    EXPECT_EQ(Said(t.prompts.messages[0]), "No Room for Any More Files: No Directory Entries");

    TestImage r("IBM-3740");
    r.ReopenReadOnly();
    EXPECT_EQ(DropFiles(r.session, r.out, {r.HostFile("a", {1})}), 0);
    ASSERT_EQ(r.prompts.messages.size(), 1u);
    EXPECT_EQ(Said(r.prompts.messages[0]),
              "No Image File Open: Need Writable Image File Open to Drop Files");
}

TEST(AddFiles, EntriesWithOtherStatusBytesAreNotTaken) {
    // Every entry but one holds status 0x40: counted as available, but only one can be taken.
    TestImage t("IBM-3740");
    CpmDirectory& dir = t.session.directory();
    for (int n = 1; n < 64; ++n) {
        dir.CurrentEntry() = DirEntry::Filled(0x40);
        dir.WriteDirEntry(n);
    }
    dir.ShowAll(t.out);
    EXPECT_EQ(dir.FreeEntryCount(), 64);
    const ByteVector before = t.Bytes();
    const std::string two = t.HostFile("two", PatternBytes(20000, 7));
    EXPECT_EQ(DropFiles(t.session, t.out, {two}), 0);
    ASSERT_FALSE(t.prompts.messages.empty());
    EXPECT_EQ(Said(t.prompts.messages.back()),
              "No Room for File in Directory: File - " + two +
                  "\r\nRequires - 2 Directory Entries\r\nDirectory Entries Availible - 1");
    EXPECT_EQ(t.Bytes(), before);
    // A file of one entry still fits.
    EXPECT_EQ(DropFiles(t.session, t.out, {t.HostFile("one", PatternBytes(2000, 8))}), 1);
    EXPECT_EQ(t.Entries()[0].TextName(), "00:ONE     .   ");
}

TEST(AddFiles, AHostFileThatChangesWhileReadIsNotAdded) {
    // The name is asked for after the file was measured; meanwhile it shrinks or grows.
    TestImage t("IBM-3740");
    const ByteVector before = t.Bytes();
    for (const auto& [size, read] :
         std::vector<std::pair<off_t, std::string>>{{1000, "1000"}, {5000, "more"}}) {
        const std::string path = t.HostFile("bad_name.text", PatternBytes(3000, 1));
        t.prompts.messages.clear();
        const auto changing = [&path, size = size](const RefusedName&) {
            EXPECT_EQ(::truncate(path.c_str(), size), 0);
            return std::optional<std::string>("GOOD.TXT");
        };
        EXPECT_EQ(DropFiles(t.session, t.out, {path}, false, std::nullopt, changing), 0);
        ASSERT_EQ(t.prompts.messages.size(), 1u);
        EXPECT_EQ(Said(t.prompts.messages[0]),
                  "Error Reading Download File: File - " + path +
                      "\r\nIt changed while it was read (3000 bytes when measured, " + read +
                      " read): it was not added");
        EXPECT_EQ(t.Bytes(), before);
    }
}

TEST(AddFiles, OneWriterAtATimeAndNoStaleDirectory) {
    TestImage a("IBM-3740");
    TestImage b("IBM-3740");
    b.Open(a.path);
    // b still lists the empty image when a adds a file: b's add reads the directory afresh.
    ASSERT_TRUE(a.Add(a.HostFile("x", PatternBytes(5000, 1)), "X"));
    EXPECT_TRUE(b.session.ImageChanged());
    EXPECT_EQ(DropFiles(b.session, b.out, {b.HostFile("y", PatternBytes(7000, 2))}), 1);
    EXPECT_EQ(a.Upload("00:X       .   "), PatternBytes(5000, 1));
    EXPECT_EQ(a.Upload("00:Y       .   "), PatternBytes(7000, 2));
    EXPECT_FALSE(b.session.ImageChanged());

    // A file another program erased is not touched.
    b.Select("00:X       .   ");
    a.Select("00:X       .   ");
    ASSERT_TRUE(EraseFile(a.session, a.out, false));
    EXPECT_TRUE(b.session.RefreshIfChanged(b.out));
    EXPECT_FALSE(b.session.RefreshIfChanged(b.out));
    b.Select("00:X       .   ");
    const ByteVector erased = a.Bytes();
    EXPECT_FALSE(EraseFile(b.session, b.out, true));
    EXPECT_EQ(Said(b.prompts.messages.back()),
              "File Not Found: 00:X       .    is no longer on the image");
    EXPECT_EQ(a.Bytes(), erased);

    // While a change of a runs, b waits a while and gives up.
    b.session.SetLockWait(std::chrono::milliseconds(50));
    QuarrySession::Change running(a.session, a.out);
    ASSERT_TRUE(running);
    b.prompts.messages.clear();
    EXPECT_FALSE(WipeFreeSpace(b.session, b.out));
    ASSERT_EQ(b.prompts.messages.size(), 1u);
    EXPECT_EQ(Said(b.prompts.messages[0]),
              "Error Locking Image File: image is in use by another program");
    EXPECT_EQ(a.Bytes(), erased);
}

TEST(AddFiles, AWriterThatWaitedWhileTheImageWasReplacedWritesTheNewImage) {
    TestImage a("IBM-3740");
    TestImage b("IBM-3740");
    b.Open(a.path);
    ASSERT_TRUE(a.Add(a.HostFile("x", PatternBytes(5000, 1)), "X"));
    const std::string host = b.HostFile("y", PatternBytes(7000, 2));
    auto running = std::make_unique<QuarrySession::Change>(a.session, a.out);
    ASSERT_TRUE(*running);
    int added = -1;
    std::thread writer([&] { added = DropFiles(b.session, b.out, {host}); });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    // While b waits on the old file, the holder puts a whole new image in its place (as a fill
    // does), then lets go.
    const std::string fresh = a.folder + "/fresh.img";
    WriteFileBytes(fresh, ByteVector(a.Bytes().size(), 0xE5));
    ASSERT_EQ(std::rename(fresh.c_str(), a.path.c_str()), 0);
    running.reset();
    writer.join();
    EXPECT_EQ(added, 1);
    TestImage c("IBM-3740");
    c.Open(a.path);
    EXPECT_EQ(c.Upload("00:Y       .   "), PatternBytes(7000, 2));
    EXPECT_EQ(c.Entries()[0].Status(), 0);
}

} // namespace
