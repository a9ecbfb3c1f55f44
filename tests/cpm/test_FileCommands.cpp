// Type, Dump, Upload, Erase, Wipe, Rename, Wipe Directory Entry and Wipe Free Space.
#include "QuarryTest.h"

#include "ErasedFiles.h"
#include "FileCommands.h"
#include "Golden.h"
#include "UploadAll.h"
#include "cli/CommandPane.h"
#include "modFile.h"

#include <algorithm>
#include <filesystem>

#include <gtest/gtest.h>

namespace {

// Type stops at the 0x1A of each block and clears bit 7; Dump shows whole records. Stopped at
// once, neither shows anything; a command streams the dump without the listing held before.
TEST(FileCommands, TypeDumpAbortAndStreaming) {
    TestImage t("IBM-3740");
    ByteVector data(300);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<std::uint8_t>(i);
    ASSERT_TRUE(t.Add(t.HostFile("d.bin", data), "D.BIN"));
    ByteVector text(1024 + 10, 'a');
    text[5] = 0x1A;
    text[1024] = 'B' | 0x80;
    ASSERT_TRUE(t.Add(t.HostFile("u.txt", text), "U.TXT"));
    t.Select("00:U       .TXT");
    TypeFile(t.session, t.out);
    EXPECT_EQ(t.out.Text(), "aaaaaBaaaaaaaaa");
    t.Select("00:D       .BIN");
    DumpFile(t.session, t.out);
    // Three records, 24 lines: the bytes past the 300th are the 0x1A padding.
    EXPECT_GOLDEN("cpm/dump_three_records", t.out.Text());
    EXPECT_EQ(DumpBlockText(5, ByteVector{0x7E, 0x7D}.data(), 2), " \r\n0005:0000 7E 7D  .}\r\n");

    class AbortAtOnce : public EventHook {
      public:
        void ProcessEvents() override { SetAbort(true); }
    };
    AbortAtOnce abort;
    StringSink nothing, streamed;
    CommandPane pane(streamed);
    for (auto [sink, hook] : {std::pair<DisplaySink*, EventHook*>{&nothing, &abort},
                              std::pair<DisplaySink*, EventHook*>{&pane, &t.hook}}) {
        QuarrySession session(t.prompts, *hook, t.busy);
        session.Open(t.path, QuarryOpener(), *sink);
        session.directory().ShowAll(*sink);
        session.SelectFile("00:D       .BIN");
        if (sink == &pane)
            pane.StreamAfterNextClear();
        else
            TypeFile(session, *sink);
        DumpFile(session, *sink);
    }
    EXPECT_EQ(nothing.Text(), "");
    EXPECT_EQ(pane.Text(), "");
    pane.Finish();
    EXPECT_EQ(streamed.Text(), t.out.Text());
}

TEST(FileCommands, UploadNamesAndExistingLongerFiles) {
    TestImage t("IBM-3740");
    t.Put(0, MakeEntry(0, "00:A*B C   .T?T", 0, 1, {2}));
    t.session.image().WriteBlock(2, ByteVector(1024, 'z'));
    const std::string out = t.folder + "/upload.bin";
    WriteFileBytes(out, ByteVector(5000, 'o'));
    t.session.directory().ShowAll(t.out);
    NoSettings settings;
    modFile files(ProgramCopy::Quarry, t.prompts, settings);
    t.prompts.fileAnswers.push_back({out, false});
    t.Select("00:A*B C   .T?T");
    ASSERT_TRUE(UploadFile(t.session, files));
    ASSERT_EQ(t.prompts.messages.size(), 1u);
    EXPECT_EQ(Said(t.prompts.messages[0]), "File Name Changed: CPM Filename(invalid for Windows) - "
                                           "A*B C.T?T\r\nChanged to - ABC.TT");
    ASSERT_EQ(t.prompts.fileRequests.size(), 1u);
    EXPECT_EQ(t.prompts.fileRequests[0].suggestedName, "ABC.TT");
    EXPECT_EQ(ReadFileBytes(out), ByteVector(128, 'z')); // the old 5000 bytes are gone

    // A folder as the target: the open fails and is reported.
    t.prompts.fileAnswers.push_back({t.folder, false});
    EXPECT_FALSE(UploadFile(t.session, files));
    EXPECT_EQ(t.prompts.messages.back().title, "Error Openning Upload File");
}

TEST(FileCommands, UploadAllMakesSafeNamesAndKeepsThemApart) {
    TestImage t("IBM-3740");
    // Names no host folder can take as they are, two that meet as the same host name, a name
    // that is the image's own, and the same name under another user.
    const std::vector<std::pair<std::string, char>> files = {
        {"00:..      .   ", 'a'}, {"00:A/B     .C  ", 'b'}, {"00:A_B     .C  ", 'c'},
        {"00:        .   ", 'd'}, {"00:IMAGE   .IMG", 'e'}, {"03:A_B     .C  ", 'f'}};
    for (std::size_t i = 0; i < files.size(); ++i) {
        t.Put(static_cast<int>(i), MakeEntry(LeadingNumber(files[i].first), files[i].first, 0, 1,
                                             {static_cast<int>(i) + 2}));
        t.session.image().WriteBlock(static_cast<int>(i) + 2, ByteVector(1024, files[i].second));
    }
    const std::string out = t.folder + "/out";
    std::filesystem::create_directory(out);
    std::filesystem::create_symlink(t.folder, out + "/3");
    UploadAllResult r = UploadAll(t.session, t.out, {*ParseCpmPattern("*.*")}, out + "/");
    EXPECT_EQ(t.out.Text(), "Saved - " + out +
                                "/__  (CP/M name 00:..      .   )\r\n"
                                "Saved - " +
                                out +
                                "/A_B.C  (CP/M name 00:A/B     .C  )\r\n"
                                "Saved - " +
                                out +
                                "/A_B~2.C  (CP/M name 00:A_B     .C  )\r\n"
                                "Saved - " +
                                out +
                                "/_  (CP/M name 00:        .   )\r\n"
                                "Saved - " +
                                out +
                                "/IMAGE.IMG\r\n"
                                "\r\n Total Files  - 5  Saved - 5  Failed - 0\r\n");
    EXPECT_EQ(ReadFileBytes(out + "/A_B~2.C"), ByteVector(128, 'c'));
    // Into the image's own folder, and a folder per user where user 3's is a link elsewhere.
    const ByteVector image = t.Bytes();
    std::filesystem::rename(t.path, out + "/IMAGE.IMG");
    r = UploadAll(t.session, t.out, {*ParseCpmPattern("IMAGE.*")}, out);
    EXPECT_EQ(r.failed, 1);
    EXPECT_EQ(ReadFileBytes(out + "/IMAGE.IMG"), image);
    r = UploadAll(t.session, t.out, {*ParseCpmPattern("*:A?B.C")}, out);
    EXPECT_EQ(r.saved, 2);
    EXPECT_EQ(r.failed, 1);
    EXPECT_NE(t.out.Text().find("Failed - " + out + "/3/A_B.C  (" + out + "/3 is not a folder)"),
              std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(t.folder + "/A_B.C"));
}

// Erase writes the status bytes only; undelete writes them back (as any user) when nothing
// live holds the file's blocks or name, and otherwise refuses, says why and writes nothing.
TEST(FileCommands, EraseKeepsTheBytesAndUndeleteRestoresThem) {
    TestImage t("IBM-3740");
    const ByteVector data = PatternBytes(20000, 11);
    ASSERT_TRUE(t.Add(t.HostFile("f", data), "F.DAT"));
    t.Select("00:F       .DAT");
    const ByteVector before = t.Bytes();
    ASSERT_TRUE(EraseFile(t.session, t.out, false));
    EXPECT_EQ(Said(t.prompts.messages[0]), "Delete File: OK to Erase file - 00:F       .DAT");
    EXPECT_EQ(t.prompts.messages[0].buttons, Buttons::OkCancel);
    const auto changedBytes = [](const ByteVector& x, const ByteVector& y) {
        std::size_t changed = 0;
        for (std::size_t i = 0; i < x.size(); ++i)
            changed += x[i] != y[i];
        return changed;
    };
    const ByteVector erased = t.Bytes();
    EXPECT_EQ(changedBytes(before, erased), 2u); // the status bytes of the two entries
    EXPECT_TRUE(t.session.directory().FileList().empty());
    ASSERT_EQ(FindErasedFiles(t.session, "f       .dat").size(), 1u);

    const std::pair<DirEntry, const char*> refusals[] = {
        {MakeEntry(3, "03:F       .DAT", 0, 1, {40}),
         "03:F       .DAT: a live file of that name is on the image"},
        {MakeEntry(7, "07:HOLDER  .DAT", 0, 8, {9}),
         "03:F       .DAT: its blocks are held by live files: 07:HOLDER  .DAT (block 9)"}};
    for (const auto& [live, said] : refusals) {
        t.Put(5, live);
        const ByteVector held = t.Bytes();
        t.prompts.messages.clear();
        EXPECT_FALSE(UndeleteFile(t.session, t.out, "F       .DAT", 0, 3));
        EXPECT_EQ(t.Bytes(), held);
        ASSERT_EQ(t.prompts.messages.size(), 1u);
        EXPECT_EQ(Said(t.prompts.messages[0]), std::string("Cannot Undelete: ") + said);
    }
    t.Put(5, DirEntry::Filled(0xE5));
    ASSERT_TRUE(UndeleteFile(t.session, t.out, "F       .DAT", 0, 3));
    EXPECT_EQ(changedBytes(erased, t.Bytes()), 2u);
    EXPECT_EQ(t.Upload("03:F       .DAT"), data);
}

TEST(FileCommands, WipeNeverTouchesTheDirectoryOrOtherFiles) {
    // A damaged entry names a directory block and a block of another file.
    TestImage t("IBM-3740");
    ASSERT_TRUE(t.Add(t.HostFile("g", PatternBytes(1024, 13)), "G"));
    t.Put(5, MakeEntry(0, "00:BAD     .   ", 0, 24, {1, 2, 3}));
    t.session.image().WriteBlock(3, ByteVector(1024, 0x33));
    t.session.directory().BuildAllocationMap();
    t.Select("00:BAD     .   ");
    ASSERT_TRUE(EraseFile(t.session, t.out, true));
    ByteVector block(1024);
    t.session.image().ReadBlock(3, block);
    EXPECT_EQ(block, ByteVector(1024, 0xE5));
    EXPECT_EQ(t.Upload("00:G       .   "), PatternBytes(1024, 13));
    EXPECT_EQ(t.Entries()[0].TextName(), "00:G       .   ");
}

TEST(FileCommands, SelectedNamesAreMatchedLiterally) {
    TestImage t("IBM-3740");
    t.Put(0, MakeEntry(0, "00:AB      .COM", 0, 1, {2}));
    t.Put(1, MakeEntry(0, "00:A?      .COM", 0, 1, {3}));
    t.session.directory().BuildAllocationMap();
    t.Select("00:A?      .COM");
    ASSERT_TRUE(EraseFile(t.session, t.out, false));
    EXPECT_EQ(t.Entries()[0].Status(), 0);
    EXPECT_EQ(t.Entries()[1].Status(), 0xE5);

    t.Put(1, MakeEntry(0, "00:A?      .COM", 0, 1, {3}));
    t.Select("00:AB      .COM");
    ASSERT_TRUE(RenameFile(t.session, t.out, "XY.COM"));
    EXPECT_EQ(t.Entries()[0].TextName(), "00:XY      .COM");
    EXPECT_EQ(t.Entries()[1].TextName(), "00:A?      .COM");
}

TEST(FileCommands, RenameAcrossUsersKeepsPasswordEntries) {
    TestImage t("IBM-3740");
    ASSERT_TRUE(t.Add(t.HostFile("f", PatternBytes(20000, 14)), "F.DAT"));
    t.Put(5, MakeEntry(16, "00:F       .DAT", 0, 0, {}));
    t.Put(6, MakeEntry(1, "01:F       .DAT", 0, 1, {40}));
    t.Select("00:F       .DAT");
    t.prompts.inputAnswers.push_back(std::string("3:NEW.TXT"));
    const std::optional<std::string> typed = AskNewName(t.session);
    ASSERT_TRUE(RenameFile(t.session, t.out, typed.value_or("")));
    ASSERT_EQ(t.prompts.inputs.size(), 1u);
    EXPECT_EQ(t.prompts.inputs[0].title, "CPM Name");
    EXPECT_EQ(t.prompts.inputs[0].prompt, "Input a Valid CPM Filename");
    EXPECT_EQ(t.prompts.inputs[0].defaultText, "00:F       .DAT");
    const std::vector<DirEntry> e = t.Entries();
    EXPECT_EQ(e[0].TextName(), "03:NEW     .TXT");
    EXPECT_EQ(e[1].TextName(), "03:NEW     .TXT");
    EXPECT_EQ(e[1].EX(), 1);
    EXPECT_EQ(e[5].Status(), 19);
    EXPECT_EQ(e[5].NameChars(), "NEW     ");
    EXPECT_EQ(e[6].TextName(), "01:F       .DAT");
    EXPECT_EQ(t.Upload("03:NEW     .TXT"), PatternBytes(20000, 14));

    // A name that exists is asked again; cancelling changes nothing.
    const ByteVector before = t.Bytes();
    t.Select("01:F       .DAT");
    t.prompts.inputs.clear();
    EXPECT_FALSE(RenameFile(t.session, t.out, "3:NEW.TXT", t.AskName()));
    ASSERT_EQ(t.prompts.inputs.size(), 1u);
    EXPECT_EQ(t.prompts.inputs[0].title, "CPM File Exists");
    EXPECT_EQ(t.Bytes(), before);
    // An invalid name is asked for again with "Invalid CPM Name".
    t.prompts.inputs.clear();
    EXPECT_FALSE(RenameFile(t.session, t.out, "toolongname.c", t.AskName()));
    ASSERT_EQ(t.prompts.inputs.size(), 1u);
    EXPECT_EQ(t.prompts.inputs[0].title, "Invalid CPM Name");
    EXPECT_EQ(t.Bytes(), before);
}

TEST(FileCommands, WipeDirectoryEntryAndFreeSpace) {
    TestImage t("IBM-3740");
    ASSERT_TRUE(t.Add(t.HostFile("f", PatternBytes(3000, 15)), "F"));
    ASSERT_TRUE(t.Add(t.HostFile("g", PatternBytes(3000, 16)), "G"));
    const ByteVector before = t.Bytes();
    EXPECT_FALSE(AskDirectoryEntry(t.session)); // no answer: the default -1
    EXPECT_FALSE(WipeDirectoryEntry(t.session, t.out, 64));
    EXPECT_EQ(Said(t.prompts.messages.back()),
              "Wipe Directory Entry: Entry 64 is not in the directory (0 to 63)");
    EXPECT_EQ(t.Bytes(), before);
    ASSERT_EQ(t.prompts.inputs.size(), 1u);
    EXPECT_EQ(t.prompts.inputs[0].title, "Wipe Directory Entry");
    EXPECT_EQ(t.prompts.inputs[0].prompt,
              "Input  WARNING - Wiping a single Directory Entry can corrupt the disk \r\n"
              "Enter Directory Entry Number  (0-63) ");
    EXPECT_EQ(t.prompts.inputs[0].defaultText, "-1");

    t.session.SetFillByteText("0x42");
    t.prompts.inputAnswers = {std::string("64"), std::string("1")};
    EXPECT_EQ(AskDirectoryEntry(t.session), 1);
    EXPECT_TRUE(WipeDirectoryEntry(t.session, t.out, 1));
    EXPECT_EQ(t.prompts.messages.back().text.rfind("New  WARNING", 0), 0u);
    DirEntry expected = DirEntry::Filled(0x42);
    expected.SetStatus(0xE5);
    EXPECT_EQ(t.Entries()[1].bytes, expected.bytes);
    EXPECT_EQ(t.Entries()[0].TextName(), "00:F       .   ");
    EXPECT_EQ(t.session.directory().CountUsedBlocks(), 2 + 3);

    // Wipe Free Space: every block but the directory and F's three.
    ASSERT_TRUE(WipeFreeSpace(t.session, t.out));
    ByteVector block(1024);
    for (int b = 5; b <= 242; ++b) {
        t.session.image().ReadBlock(b, block);
        EXPECT_EQ(block, ByteVector(1024, 0x42)) << b;
    }
    EXPECT_EQ(t.Upload("00:F       .   "), PatternBytes(3000, 15));
    const ByteVector after = t.Bytes();
    EXPECT_TRUE(std::equal(after.begin(), after.begin() + 6656, before.begin()));
    // The six records of the last track that no block covers stay as they were.
    for (std::int64_t record = 243 * 8; record < 75 * 26; ++record)
        EXPECT_EQ(after[static_cast<std::size_t>(t.session.Format().FilePosition(record * 128))],
                  0xE5)
            << record;
}

TEST(FileCommands, WritingCommandsNeedAWritableImage) {
    TestImage t("IBM-3740");
    ASSERT_TRUE(t.Add(t.HostFile("f", PatternBytes(3000, 17)), "F"));
    t.ReopenReadOnly();
    t.Select("00:F       .   ");
    const ByteVector before = t.Bytes();
    EXPECT_FALSE(EraseFile(t.session, t.out, true));
    EXPECT_FALSE(RenameFile(t.session, t.out, "NEW.NAM"));
    EXPECT_FALSE(WipeDirectoryEntry(t.session, t.out, 0));
    EXPECT_FALSE(WipeFreeSpace(t.session, t.out));
    EXPECT_TRUE(t.prompts.inputs.empty());
    EXPECT_EQ(t.Bytes(), before);
    EXPECT_EQ(t.Upload("00:F       .   "), PatternBytes(3000, 17));
}

TEST(FileCommands, CommandsDoNothingWhileAnotherRuns) {
    TestImage t("IBM-3740");
    ASSERT_TRUE(t.Add(t.HostFile("f", PatternBytes(300, 18)), "F"));
    t.Select("00:F       .   ");
    QuarrySession::Frame running(t.session);
    ASSERT_TRUE(running);
    t.out.Clear();
    TypeFile(t.session, t.out);
    EXPECT_FALSE(EraseFile(t.session, t.out, false));
    EXPECT_EQ(t.out.Text(), "");
    EXPECT_TRUE(t.prompts.messages.empty());
}

} // namespace
