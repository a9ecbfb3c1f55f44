#include "Golden.h"
#include "ImdBuilder.h"
#include "TamarinFixture.h"
#include "TamarinSession.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

// The sample volume written to an ImageDisk file that ends inside /big, read back through the
// ImageDisk drive as the program reads it: a file before the cut comes out as the builder wrote
// it, and /big, whose blocks lie past the end of the image, ends with the drive's message, once.
TEST(Drive, ExtractionThroughAnImageDiskFileThatEndsEarly) {
    SampleInodes n;
    SystemV68Builder b = SampleSystemV68(&n);
    b.totalBlocks = 3000; // more than the floppy holds
    ByteString sectors = b.Build();
    const std::int32_t big = b.File(n.big).addresses[0];
    sectors.resize(SystemV68Builder::BlockOffset(big + 4)); // the image ends inside /big
    const std::string dir = TempDir("tamarin-drive");
    const std::string image = dir + "/cut.imd";
    ImdLayout layout = ImdLayout::Floppy8();
    layout.cylinders = 0; // no empty tracks after the data
    ImdFromLogicalSectors(sectors, layout, "cut").Write(image);

    ScriptedPrompts prompts;
    EventHook hook;
    TamarinSession session(prompts, hook);
    StringSink sink;
    ASSERT_EQ(session.Open(image, TamarinImageOpener(), sink), OpenOutcome::Opened);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].title, "IMD File will Open READ ONLY");
    prompts.messages.clear();

    std::string error;
    EXPECT_EQ(session.Save(session.Resolve("/bin/ls", error), dir + "/ls"), SaveResult::Saved);
    EXPECT_TRUE(ReadHostFile(dir + "/ls") == PatternBytes(11000, 1)); // through a single indirect
    EXPECT_TRUE(prompts.messages.empty());

    EXPECT_EQ(session.Save(session.Resolve("/big", error), dir + "/big"), SaveResult::Short);
    ASSERT_EQ(prompts.messages.size(), 2u) << "the drive's message, then the short file";
    EXPECT_EQ(prompts.messages[0].title.rfind("Error reading LSN ", 0), 0u);
    EXPECT_EQ(prompts.messages[1].title, "Save File");
    const std::uintmax_t saved = fs::file_size(dir + "/big");
    EXPECT_GE(saved, 4u * 1024u);
    EXPECT_LT(saved, 307200u);
    fs::remove_all(dir);
}
