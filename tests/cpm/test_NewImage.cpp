// Number entry rules, the new-image dialog and creating an image file.
#include "QuarryTest.h"

#include "NewImage.h"
#include "NumberEntry.h"
#include "modFile.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

// Red and black show in the window's tests of the dialog, the fill byte and the row boxes.
TEST(NumberEntry, BlueWarnsOutsideTheUsualRange) {
    EXPECT_EQ(CheckRange("junk", 0, 255, 0, 2147483647).fore, EntryColour::Red);
    const EntryMark warn = CheckRange("200", 0, 255, 0, 100);
    EXPECT_EQ(warn.fore, EntryColour::Blue);
    EXPECT_TRUE(warn.Bad());
    EXPECT_FALSE(warn.Red());
}

TEST(NumberEntry, InputNumber) {
    ScriptedPrompts prompts;
    prompts.inputAnswers = {std::string("64"), std::string("12345"), std::string("x1"),
                            std::string("+7")};
    EXPECT_EQ(InputNumber(prompts, "Entry", "Pick", -1, 0, 63, 4), 7);
    ASSERT_EQ(prompts.inputs.size(), 4u);
    EXPECT_EQ(prompts.inputs[0].prompt, "Input Entry (0-63) ");
    EXPECT_EQ(prompts.inputs[0].title, "Pick");
    EXPECT_EQ(prompts.inputs[0].defaultText, "-1");
    ASSERT_EQ(prompts.messages.size(), 3u);
    EXPECT_EQ(Said(prompts.messages[0]),
              "Entry Size Error: New Entry must be between 0 and 63. You input \"64\"");
    EXPECT_EQ(prompts.messages[1].text, "New Entry must be between 0 and 63. You input \"12345\"");
    prompts.inputAnswers = {std::string("")};
    EXPECT_EQ(InputNumber(prompts, "Entry", "Pick", -1, 0, 63, 4), -1);
    EXPECT_EQ(InputNumber(prompts, "Entry", "Pick", 9, 0, 63, 4), 9); // cancelled
    prompts.inputAnswers = {std::string("-5")};
    EXPECT_EQ(InputNumber(prompts, "Offset", "Pick", 0, -10, 10, 2), -5);
}

TEST(NewImage, DialogEntries) {
    // The window's tests show the dialog's defaults, creating, and cancelling while it creates.
    DialogNewDiskModel dialog;
    EXPECT_TRUE(dialog.SetDiskSizeText("1000").Red());
    EXPECT_EQ(dialog.DiskSize, 1000);
    EXPECT_FALSE(dialog.SetDiskSizeText("128").Bad());
    EXPECT_TRUE(dialog.SetDiskSizeText("0").Bad());
    EXPECT_FALSE(dialog.SetDiskSizeText("512M").Bad());
    EXPECT_TRUE(dialog.SetDiskSizeText("513M").Bad());
    EXPECT_EQ(dialog.SetDiskSizeText("").back, EntryColour::Red);
    EXPECT_TRUE(dialog.SetFillByteText("0x100").Red());

    ScriptedPrompts prompts;
    NoSettings settings;
    modFile files(ProgramCopy::Quarry, prompts, settings);
    EventHook hook;
    EXPECT_FALSE(dialog.Create(files, prompts, hook));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(Said(prompts.messages[0]),
              "Error in Input: Bad Disk Size Value\r\nBad Fill Byte Value\r\n");
    EXPECT_TRUE(prompts.fileRequests.empty());

    dialog.SetDiskSizeText("1K");
    dialog.SetFillByteText("0");
    const std::string path = TempDir("quarry-dialog") + "/new.img";
    prompts.fileAnswers.push_back({path, false});
    EXPECT_TRUE(dialog.Create(files, prompts, hook));
    ASSERT_EQ(prompts.fileRequests.size(), 1u);
    EXPECT_EQ(prompts.fileRequests[0].mode, FileDialogRequest::Mode::SaveAs);
    EXPECT_EQ(prompts.fileRequests[0].defaultExtension, "img");
    EXPECT_TRUE(dialog.ReturnValue);
    EXPECT_EQ(dialog.FileName, path);
    EXPECT_TRUE(dialog.Cancel(hook));
    EXPECT_EQ(dialog.FileName, "");
}

TEST(NewImage, CreatingShowsEveryStep) {
    const std::string folder = TempDir("quarry-create");
    ScriptedPrompts prompts;
    EventHook hook;
    std::vector<std::pair<std::int64_t, std::int64_t>> steps;
    const Progress record = [&](std::int64_t done, std::int64_t total) {
        steps.emplace_back(done, total);
    };
    ASSERT_EQ(CreateImageFile(folder + "/small.img", 8, 0x00, hook, prompts, record),
              CreateResult::Created);
    EXPECT_EQ(ReadFileBytes(folder + "/small.img"), ByteVector(1024, 0));
    ASSERT_FALSE(steps.empty());
    EXPECT_EQ(CountText(steps.back().first), "8/1024");
    EXPECT_EQ(ProgressPercent(steps.back().first, steps.back().second), 100);

    // A big image: every whole percent shows once, in order, and few writes are made.
    steps.clear();
    ASSERT_EQ(CreateImageFile(folder + "/big.img", 2002 * 20, 0xE5, hook, prompts, record),
              CreateResult::Created);
    std::vector<int> percents;
    for (const auto& [done, total] : steps) {
        const int p = ProgressPercent(done, total);
        if (percents.empty() || percents.back() != p) percents.push_back(p);
    }
    ASSERT_EQ(percents.size(), 101u);
    for (int p = 0; p <= 100; ++p)
        EXPECT_EQ(percents[static_cast<std::size_t>(p)], p);
    EXPECT_LE(steps.size(), 110u);
    EXPECT_EQ(ReadFileBytes(folder + "/big.img"), ByteVector(2002 * 20 * 128, 0xE5));
    EXPECT_TRUE(prompts.messages.empty());
}

TEST(NewImage, CancelOrFailureLeavesNoHalfImage) {
    class CancelAfterFirst : public EventHook {
      public:
        void ProcessEvents() override { SetAbort(true); }
    };
    const std::string folder = TempDir("quarry-cancel");
    const std::string path = folder + "/keep.img";
    WriteFileBytes(path, ByteVector(300, 'k'));
    ScriptedPrompts prompts;
    CancelAfterFirst hook;
    EXPECT_EQ(CreateImageFile(path, 20000, 0x00, hook, prompts), CreateResult::Cancelled);
    // No half-made file is left behind; whether the old one stays is the output policy's.
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        EXPECT_EQ(entry.path().string(), path);
        EXPECT_EQ(ReadFileBytes(path), ByteVector(300, 'k'));
    }

    EventHook plain;
    EXPECT_EQ(CreateImageFile(folder + "/no/such/folder.img", 8, 0, plain, prompts),
              CreateResult::Failed);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(
        Said(prompts.messages[0])
            .rfind("File Error creating Disk Image: Error # 76 was generated by Quarry\r\n", 0),
        0u);
    // Replacing an image.
    EXPECT_EQ(CreateImageFile(path, 8, 0x11, plain, prompts), CreateResult::Created);
    EXPECT_EQ(ReadFileBytes(path), ByteVector(1024, 0x11));
}

} // namespace
