#include "Golden.h"
#include "ImdBuilder.h"
#include "TamarinFixture.h"
#include "TamarinSession.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

// The sample volume written to an ImageDisk file and read back through the ImageDisk drive, as
// the program reads it: every file comes out as the builder wrote it.
TEST(Drive, ExtractionThroughAnImageDiskFile) {
    const auto& [n, b, sectors] = TheSample();
    const std::string dir = TempDir("tamarin-drive");
    const std::string image = dir + "/sample.imd";
    ImdFromLogicalSectors(sectors, ImdLayout::Floppy8(), "System V/68 test volume").Write(image);

    ScriptedPrompts prompts;
    EventHook hook;
    TamarinSession session(prompts, hook);
    std::unique_ptr<SectorSource> disk = TamarinImageOpener()(image, prompts);
    ASSERT_TRUE(disk);
    StringSink sink;
    ASSERT_TRUE(session.Attach(std::move(disk), sink));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].title, "IMD File will Open READ ONLY");

    // Files whose blocks cross many tracks: double indirect blocks, and holes.
    const std::vector<std::pair<std::string, ByteString>> files = {
        {"/big", PatternBytes(307200, 3)}, {"/sparse", SparseContents(b.File(n.sparse))}};
    for (const auto& [path, expected] : files) {
        std::string error;
        const std::int32_t inode = session.Resolve(path, error);
        ASSERT_NE(inode, 0) << error;
        const std::string out = dir + "/out";
        EXPECT_EQ(session.Save(inode, out), SaveResult::Saved) << path;
        EXPECT_TRUE(ReadHostFile(out) == expected) << path;
    }
    session.ShowSuperBlock(sink);
    EXPECT_GOLDEN("systemv68/superblock-report-EXORMACS", sink.Text());
    EXPECT_EQ(prompts.messages.size(), 1u);
    fs::remove_all(dir);
}

// The end of the image is the end of what can be read: a file whose blocks lie past it ends
// with the drive's message, once.
TEST(Drive, BlocksPastTheEndOfTheImage) {
    SampleInodes n;
    SystemV68Builder b = SampleSystemV68(&n);
    b.totalBlocks = 3000; // more than the floppy holds
    ByteString sectors = b.Build();
    const std::int32_t big = b.File(n.big).addresses[0];
    sectors.resize(SystemV68Builder::BlockOffset(big + 4)); // the image ends inside /big
    const std::string dir = TempDir("tamarin-drive-end");
    const std::string image = dir + "/cut.imd";
    ImdLayout layout = ImdLayout::Floppy8();
    layout.cylinders = 0; // no empty tracks after the data
    ImdFromLogicalSectors(sectors, layout, "cut").Write(image);

    ScriptedPrompts prompts;
    EventHook hook;
    TamarinSession session(prompts, hook);
    StringSink sink;
    ASSERT_TRUE(session.Attach(TamarinImageOpener()(image, prompts), sink));
    prompts.messages.clear();
    std::string error;
    const std::int32_t inode = session.Resolve("/big", error);
    EXPECT_EQ(session.Save(inode, dir + "/big"), SaveResult::Short);
    ASSERT_EQ(prompts.messages.size(), 2u) << "the drive's message, then the short file";
    EXPECT_EQ(prompts.messages[0].title.rfind("Error reading LSN ", 0), 0u);
    EXPECT_EQ(prompts.messages[1].title, "Save File");
    const std::uintmax_t saved = fs::file_size(dir + "/big");
    EXPECT_GE(saved, 4u * 1024u);
    EXPECT_LT(saved, 307200u);
    fs::remove_all(dir);
}
