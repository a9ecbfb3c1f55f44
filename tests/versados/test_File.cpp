#include "Golden.h"
#include "KestrelFixture.h"
#include "VersaDOSSamples.h"
#include "VersaDOSSave.h"
#include "modUtility.h"

#include <gtest/gtest.h>

#include <filesystem>

// The files of the sample volume. Their directory views and dumps are in the kestrel cases.
TEST(FileViews, ContiguousSequentialIndexedAndFixedFiles) {
    KestrelFixture k(SampleVolume().Build());
    ASSERT_TRUE(k.Open());
    const DirEntry boot = k.Open(0, "BOOT.LO");
    // As text: every byte of both sectors, control bytes named, high bytes expanded or shown.
    k.file.DisplayView(k.sink, boot, false, true);
    EXPECT_EQ(k.sink.Text().substr(0, 25), "<nul><bel><so><nak><fs>#*");
    EXPECT_EQ(k.sink.Text().find("\r\n"), std::string::npos); // no records, no line ends
    k.file.DisplayView(k.sink, boot, true, true);
    EXPECT_EQ(k.sink.Text().find("<8C>"), std::string::npos);

    k.Open(0, "README.SA");
    ASSERT_EQ(k.file.FABRecords().size(), 2u);

    // Keys are never expanded.
    const DirEntry index = k.Open(0, "INDEX.SI");
    k.file.DisplayView(k.sink, index, true, true);
    EXPECT_EQ(k.sink.Text(), "K001first     record\r\nK002odd\r\nK<85>03second\r\n");
    EXPECT_EQ(k.file.Segments()[0].keyLength, 4);
    EXPECT_EQ(k.file.Segments()[0].keyText, "751334851"); // "K\x85" "03": the last record's key

    const DirEntry table = k.Open(0, "TABLE.DB");
    k.file.DisplayView(k.sink, table, true, true);
    EXPECT_EQ(k.sink.Text(), "ABCDE\r\nFGHIJ\r\nKLMNO\r\n");
}

TEST(FileViews, FixedAndVariableRecordsInABlock) {
    // The records of one block, for a record length (0: variable) and a record count.
    const auto records = [](int recordLength, int count, const ByteString& block) {
        DirEntry entry;
        entry.recordLength = recordLength;
        FABSegment segment;
        segment.records = count;
        std::vector<std::string> texts;
        VersaDOSFile::ForEachRecord(entry, segment, block, [&](std::span<const std::uint8_t> r) {
            texts.emplace_back(r.begin(), r.end());
        });
        return texts;
    };
    // Lengths 3 and 4: the second record starts at offset 6, after one pad byte.
    EXPECT_EQ(records(0, 2, {0, 3, 'a', 'b', 'c', 0, 0, 4, 'w', 'x', 'y', 'z'}),
              (std::vector<std::string>{"abc", "wxyz"}));
    // A record that runs past the block ends the block; nothing outside it is read.
    const ByteString cut = {0, 3, 'a', 'b', 'c', 0, 0x7F, 0xFF, 'x'};
    EXPECT_EQ(records(0, 5, cut), (std::vector<std::string>{"abc"}));
    EXPECT_EQ(records(4, 5, cut).size(), 2u);
}

TEST(FileAccessBlocks, DamagedChainsAndDescriptors) {
    VersaDOSBuilder b = SampleVolume();
    ByteString image = b.Build();
    KestrelFixture probe(image);
    probe.Open();
    const DirEntry readme = probe.Find(0, "README.SA");
    const std::size_t firstFAB = static_cast<std::size_t>(readme.fileStart) * 256;

    { // The second FAB links back to the first: the walk stops with one message.
        ByteString looped = image;
        const std::int32_t second = GetLong(ByteSpan(looped).subspan(firstFAB, 4), 0);
        VersaDOSBuilder::PutLong(looped, static_cast<std::size_t>(second) * 256, readme.fileStart);
        KestrelFixture k(looped);
        k.Open();
        EXPECT_TRUE(k.file.ReadFABChain(readme.fileStart, readme.fabLength));
        EXPECT_EQ(k.file.FABRecords().size(), 2u);
        ASSERT_EQ(k.prompts.messages.size(), 1u);
        EXPECT_EQ(k.prompts.messages[0].title, "Damaged File");
    }
    { // A FAB that cannot be read ends the chain; no stale link is followed.
        ByteString cut = image;
        VersaDOSBuilder::PutLong(cut, firstFAB, 0x7FFFFF00);
        KestrelFixture k(cut);
        k.Open();
        EXPECT_FALSE(k.file.ReadFABChain(readme.fileStart, readme.fabLength));
        EXPECT_EQ(k.file.FABRecords().size(), 1u);
        EXPECT_EQ(k.file.Segments().size(), 1u);
    }
    { // A key length that runs past the FAB ends its descriptor list.
        ByteString bad = image;
        bad[firstFAB + 9] = 230; // the descriptor starts at 240
        VersaDOSBuilder::PutLong(bad, firstFAB + 240, 99);
        VersaDOSBuilder::PutWord(bad, firstFAB + 244, 1);
        bad[firstFAB + 247] = 200; // its key would end at byte 448
        KestrelFixture k(bad);
        k.Open();
        k.file.ReadFABChain(readme.fileStart, readme.fabLength);
        EXPECT_EQ(k.file.FABRecords().size(), 2u);
        EXPECT_EQ(k.file.Segments().size(), 1u); // only the second FAB's descriptor
    }
    { // A first descriptor with data start 0: no segments, header lines only.
        ByteString none = image;
        VersaDOSBuilder::PutLong(none, firstFAB, 0);
        VersaDOSBuilder::PutLong(none, firstFAB + 10, 0);
        KestrelFixture k(none);
        k.Open();
        const DirEntry e = k.Open(0, "README.SA");
        EXPECT_TRUE(k.file.Segments().empty());
        k.file.DirectoryView(k.sink, "KEST", ":0007.UTIL.", e);
        const std::string text = k.sink.Text();
        EXPECT_EQ(text.substr(text.size() - 15), "#REC    #SECT  ");
        EXPECT_NE(text.find("\r\n\r\nFAB PSN    "), std::string::npos);
    }
}

// A FAB whose descriptors list one data block again, or blocks that share sectors: the walk
// ends at the repeated sectors with one message. Found by fuzzing: a FAB of a 57 KB image of bare
// sectors (fixtures/bad/versados) listed its blocks over and over, up to the 2049 segments a
// file may have, and every view of the file ran for seconds.
TEST(FileAccessBlocks, DataBlocksListedTwiceEndTheFile) {
    for (const int dbLength : {1, 2}) {
        SCOPED_TRACE("data blocks of " + std::to_string(dbLength) + " sectors");
        VersaDOSBuilder b;
        BuiltCatalog& c = b.AddCatalog(1, "DATA");
        BuiltFile f;
        f.name = "THREE";
        f.extension = "SA";
        f.fileType = 1;
        f.dbLength = dbLength;
        f.recordsPerBlock = 1;
        f.records = {Bytes("one"), Bytes("two"), Bytes("three")};
        c.files.push_back(f);
        ByteString image = b.Build();
        KestrelFixture probe(image);
        ASSERT_TRUE(probe.Open());
        const DirEntry three = probe.Open(0, "THREE.SA");
        ASSERT_EQ(probe.file.Segments().size(), 3u);
        const std::size_t fab = static_cast<std::size_t>(three.fileStart) * 256;
        const std::size_t descriptors = fab + 10 + image[fab + 9];
        // The third descriptor names the first block again (or the first block's last sector).
        const std::int32_t first = probe.file.Segments()[0].dataStart;
        VersaDOSBuilder::PutLong(image, descriptors + 16, first + dbLength - 1);

        KestrelFixture k(image);
        ASSERT_TRUE(k.Open());
        const DirEntry e = k.Open(0, "THREE.SA");
        k.file.DisplayView(k.sink, e, false, true);
        EXPECT_EQ(k.sink.Text(), "one\r\ntwo\r\n");
        ASSERT_EQ(k.prompts.messages.size(), 1u);
        EXPECT_EQ(k.prompts.messages[0].title, "Damaged File");
        EXPECT_EQ(k.prompts.messages[0].text,
                  "Data block 0x" + Hex8(first + dbLength - 1) +
                      " holds sectors of another data block of the file; the file ends there.");
        const std::string out = TempDir("versados-twice") + "/three.bin";
        EXPECT_FALSE(SaveDataBlocks(k.file, e, out, k.prompts));
        EXPECT_FALSE(std::filesystem::exists(out));
    }
}

TEST(FileAccessBlocks, ContiguousFileIsBoundedByTheVolume) {
    KestrelFixture k(SampleVolume().Build());
    ASSERT_TRUE(k.Open());
    DirEntry boot = k.Find(0, "BOOT.LO");
    boot.fileEnd = 0;
    EXPECT_EQ(k.file.ContiguousLast(boot), 0); // one sector
    boot.fileEnd = 0x7FFFFFF0;
    EXPECT_EQ(k.file.ContiguousLast(boot), k.volume.Config().totalSectors - 1 - boot.fileStart);
    boot.fileEnd = -5;
    EXPECT_EQ(k.file.ContiguousLast(boot), k.volume.Config().totalSectors - 1 - boot.fileStart);
    boot.fileEnd = 0;
    k.file.DumpView(k.sink, boot);
    EXPECT_EQ(LineCount(k.sink.Text()), 16);
}
