#include "ContainerFiles.h"
#include "Golden.h"
#include "KestrelFixture.h"
#include "KestrelSession.h"
#include "VersaDOSSamples.h"
#include "modUtility.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>

namespace fs = std::filesystem;

TEST(VolumeID, BadChecksumAndAllZeroSector) {
    ByteString image = SampleVolume().Build();
    image[63] ^= 0x01;
    KestrelFixture k(image);
    k.volume.IsVersaDOSVolume();
    k.volume.ShowVolume(k.sink);
    const std::string expected = "\r\n BAD CHECKSUM - " + Hex4(k.volume.VID().checksum) +
                                 " - should be " + Hex4(k.volume.VID().checksum ^ 1) + "\r\n";
    EXPECT_NE(k.sink.Text().find(" Magic EXORMACS\r\n" + expected), std::string::npos);
    StringSink tamarin; // Tamarin's volume ID checks no checksum; its goldens show the rest
    k.volume.ShowVolumeIDTamarin(tamarin);
    EXPECT_EQ(tamarin.Text().find("BAD CHECKSUM"), std::string::npos);

    KestrelFixture zero(ByteString(256 * 4, 0));
    EXPECT_FALSE(zero.volume.IsVersaDOSVolume());
    zero.volume.ShowVolume(zero.sink);
    EXPECT_NE(zero.sink.Text().find(" BAD CHECKSUM - 0000 - should be FFFF\r\n"),
              std::string::npos);
    EXPECT_NE(zero.sink.Text().find(" Generation Date 12/31/79 (00000000)"), std::string::npos);

    // A disk without a volume: sector 0 as the dump shows it, and no configuration area made of
    // zeros where its sector lies outside the disk or cannot be read.
    const std::pair<std::uint32_t, const char*> configs[] = {
        {0xFFFFFFC0, "Sector FFFFFFC0 lies outside the disk\r\n"},
        {0x1B180210, "Sector 1B180210 could not be read\r\n"}};
    for (const auto& [sector, said] : configs) {
        ByteString odd(256 * 4, 0);
        odd[0] = 0x1B;
        odd[1] = 'A';
        odd[2] = 0x07;
        VersaDOSBuilder::PutLong(odd, 144, sector);
        KestrelFixture k(odd);
        EXPECT_FALSE(k.volume.IsVersaDOSVolume());
        k.volume.ReadNamedConfig();
        k.volume.ShowVolume(k.sink);
        EXPECT_EQ(k.sink.Text().substr(0, 11), ".A..:0000\r\n");
        EXPECT_NE(k.sink.Text().find("Configuration Parameters\r\n Configuration Area   " +
                                     std::string(said)),
                  std::string::npos);
        EXPECT_EQ(k.sink.Text().find("Raw Configuration"), std::string::npos);
    }
    KestrelFixture none(ByteString{});
    none.volume.IsVersaDOSVolume();
    none.volume.ShowVolume(none.sink);
    EXPECT_EQ(none.sink.Text(), " Volume ID   Sector 00000000 could not be read\r\n");
}

TEST(VolumeID, VolumeTestByMagicSectorSizeAndAttributes) {
    auto isVersaDOS = [](auto change) {
        VersaDOSBuilder b = SampleVolume();
        change(b);
        KestrelFixture k(b.Build());
        return k.volume.IsVersaDOSVolume();
    };
    EXPECT_TRUE(isVersaDOS([](VersaDOSBuilder& b) { b.magic = "MOTOROLA"; }));
    for (int word : {7, 15, 71, 79, 520, 525})
        EXPECT_TRUE(isVersaDOS([word](VersaDOSBuilder& b) { b.attributesWord = word; })) << word;
    for (int word : {0, 512, 516, 8})
        EXPECT_FALSE(isVersaDOS([word](VersaDOSBuilder& b) { b.attributesWord = word; })) << word;
    EXPECT_FALSE(isVersaDOS([](VersaDOSBuilder& b) { b.magic = "exormacs"; }));
    EXPECT_FALSE(isVersaDOS([](VersaDOSBuilder& b) { b.sectorSize = 512; }));
}

TEST(VolumeID, ConfigurationWordsAboveSignedRangeShowUnsigned) {
    ByteString image = SampleVolume().Build();
    VersaDOSBuilder::PutWord(image, 256 + 26, 0x9000);
    KestrelFixture k(image);
    k.volume.IsVersaDOSVolume();
    k.volume.ShowVolume(k.sink);
    EXPECT_NE(k.sink.Text().find(" Cylinders on Media 36864 (00009000)\r\n"), std::string::npos);
}

// Real ImageDisk files of other systems: the report shows what their sector 0 holds, printable,
// and what their configuration sector holds only when it could be read.
TEST(VolumeID, RealDisksThatHoldNoVolume) {
    const fs::path folder = RealImagesDir() + "/imd";
    if (!fs::is_directory(folder)) GTEST_SKIP() << "no real images at " << folder;
    for (const auto& entry : fs::directory_iterator(folder)) {
        ScriptedPrompts prompts;
        EventHook hook;
        KestrelSession session(prompts, hook);
        StringSink report;
        auto disk = KestrelImageOpener().Open(entry.path().string(), prompts);
        ASSERT_TRUE(disk) << entry.path();
        EXPECT_EQ(session.Attach(std::move(disk), report), OpenOutcome::Refused) << entry.path();
        const std::string text = report.Text();
        EXPECT_TRUE(std::all_of(text.begin(), text.end(), [](char c) {
            return c == '\r' || c == '\n' || c >= 32;
        })) << entry.path();
        EXPECT_NE(text.find(" Raw Configuration Area ") != std::string::npos,
                  text.find(" could not be read\r\n") != std::string::npos ||
                      text.find(" lies outside the disk\r\n") != std::string::npos)
            << entry.path();
    }
}

// The first sectors of a real VersaDOS backup volume, when the collection has them.
TEST(VolumeID, RealVolumeB001) {
    const std::string path = SharedImagesDir() + "/versados-b001-sectors0-3.bin";
    std::ifstream in(path, std::ios::binary);
    if (!in) GTEST_SKIP() << "real volume sectors not present at " << path;
    ByteString image((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_EQ(image.size(), 1024u);
    KestrelFixture k(image);
    k.volume.ReadVID(0);
    EXPECT_EQ(k.volume.VID().volumeName, "B001");
    EXPECT_EQ(k.volume.VID().magic, "EXORMACS");
    EXPECT_EQ(k.volume.VIDChecksum(), k.volume.VID().checksum);
    // The report of the real sectors; the sectors themselves stay outside the project.
    k.volume.ShowVolume(k.sink);
    const std::string text = k.sink.Text();
    EXPECT_EQ(text.substr(0, text.find(" SAT Start")),
              "B001:0001\r\nBACKUP1  V/R 0420 (30343230)\r\n"
              " Generation Date 01/01/83 (00000449)\r\n");
    EXPECT_NE(text.find(" Check Sum   A459\r\n Magic EXORMACS\r\n\r\nConfiguration"),
              std::string::npos);

    // Its first catalog and first file list block.
    EXPECT_TRUE(k.catalog.ReadSDB(k.volume.VID().sdbPointer));
    const SDBEntry& entry = k.catalog.CurrentSDB().entries[0];
    EXPECT_EQ(entry.userNumber, 1);
    EXPECT_EQ(entry.catalogName, "M25MXABE");
    EXPECT_EQ(entry.pdbSector, 3);
    std::vector<ListItem> files;
    k.catalog.SelectCatalog(entry.pdbSector, files);
    ASSERT_EQ(files.size(), 3u);
    EXPECT_EQ(files[0].text, "ACT     .RT");
    const DirEntry& act = k.catalog.ListedFiles()[0];
    const DirEntry& cyc = k.catalog.ListedFiles()[1];
    // Contiguous files lie end to end: the end field is the offset of the last sector.
    EXPECT_EQ(act.fileStart + act.fileEnd + 1, cyc.fileStart);
    EXPECT_EQ(act.dateChanged, 0x0449);
}

namespace {

// Every catalog and file of the volume open in session: the listing, each catalog's files and
// each file's dump.
std::string Everything(KestrelSession& session) {
    StringSink sink;
    session.LoadCatalog();
    session.ShowListing(1, sink);
    for (int c = 0; c < static_cast<int>(session.Catalogs().size()); ++c) {
        session.SelectCatalog(c);
        for (int f = 0; f < static_cast<int>(session.Files().size()); ++f) {
            sink.Append(session.Files()[static_cast<std::size_t>(f)].text + "\n");
            session.ShowFile(f, ViewDump, false, false, sink);
        }
    }
    return sink.Text();
}

} // namespace

// The sample volume as a raw 256-byte sector dump (as EXORmacs hard disks are kept) and in every
// container dsktrans makes of it: the same catalogs, files and bytes from each, detected or
// named; a named type the file is not is refused.
TEST(Containers, EveryContainerGivesTheSameVolume) {
    const ByteString sample = SampleVolume().Build();
    ScriptedPrompts prompts;
    EventHook hook;
    KestrelSession memory(prompts, hook);
    StringSink report;
    ASSERT_EQ(
        memory.Attach(std::make_unique<OpenedImage>(std::make_unique<MemorySectors>(sample, 256)),
                      report),
        OpenOutcome::Opened);
    const std::string expected = Everything(memory);
    ASSERT_GT(expected.size(), 1000u);

    const auto files = WriteContainers(sample, TempDir("kestrel-containers"), 256, 16, 1);
    if (files.size() < 4) std::cout << "dsktrans is missing: only the raw dump is read\n";
    for (const ContainerFile& file : files) {
        for (const std::string& named : {std::string(), file.type}) {
            ImageOpener opener = KestrelImageOpener();
            opener.Choices().container = named;
            KestrelSession session(prompts, hook);
            ASSERT_EQ(session.Open(file.path, opener, report), OpenOutcome::Opened)
                << file.path << " as " << named;
            EXPECT_EQ(Everything(session), expected) << file.path << " as " << named;
            EXPECT_EQ(session.Disk()->TypeName(), file.type);
            EXPECT_EQ(session.Disk()->FailedReads(), 0);
        }
        ImageOpener wrong = KestrelImageOpener();
        wrong.Choices().container = file.type == "tele" ? "copyqm" : "tele";
        KestrelSession session(prompts, hook);
        EXPECT_EQ(session.Open(file.path, wrong, report), OpenOutcome::Failed) << file.path;
        EXPECT_EQ(prompts.messages.back().title, "Open Image Error");
    }
    // Read as ImageDisk, a raw dump is refused in the drive's words.
    ImageOpener imd = KestrelImageOpener();
    imd.Choices().container = "imd";
    KestrelSession session(prompts, hook);
    EXPECT_EQ(session.Open(files[0].path, imd, report), OpenOutcome::Failed);
    EXPECT_EQ(prompts.messages.back().text, "Not an IMD file");
}
