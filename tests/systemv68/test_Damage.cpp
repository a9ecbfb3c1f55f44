// The damage map of a System V/68 volume from the builder, wrapped as ImageDisk with chosen
// logical sectors unreadable: data blocks lose their bytes, an indirect block the range it maps,
// an inode its whole file.
#include "DisplaySink.h"
#include "EventHook.h"
#include "Golden.h"
#include "ImdBuilder.h"
#include "ScriptedPrompts.h"
#include "SystemV68Builder.h"
#include "SystemVDamage.h"

#include <gtest/gtest.h>

TEST(SystemVDamage, NamesTheFilesAndRangesOfTheDamagedSectors) {
    SystemV68Builder builder;
    const std::int32_t etc = builder.AddDirectory(2, "etc");
    const std::int32_t passwd = builder.AddFile(etc, "passwd", ByteString(1500, 'p'));
    const std::int32_t big = builder.AddFile(2, "big", ByteString(15 * 1024, 'b'));
    const ByteString sectors = builder.Build();
    const auto sectorOfBlock = [](std::int32_t block) { return block * 4; };
    const int inodeSector = static_cast<int>(SystemV68Builder::InodeOffset(big) / 256);
    ASSERT_NE(inodeSector, static_cast<int>(SystemV68Builder::InodeOffset(passwd) / 256));

    struct Case {
        std::vector<std::pair<int, ImdRecord>> damaged;
        std::vector<std::string> lines;
    };
    const std::vector<Case> cases = {
        {{{sectorOfBlock(builder.File(passwd).addresses[1]) + 1, ImdRecord::DataError}},
         {"Files hit: 1\r\n  /etc/passwd: bytes 1280-1499 of 1500\r\n"}},
        {{{sectorOfBlock(builder.File(big).addresses[10]) + 3, ImdRecord::Unavailable},
          {sectorOfBlock(builder.File(big).addresses[3]), ImdRecord::DataError}},
         {"Files hit: 1\r\n  /big: bytes 3072-3327, 10240-15359 of 15360\r\n"}},
        {{{inodeSector, ImdRecord::DataError}, {2, ImdRecord::DataError}},
         {"  super block: bytes 0-255 of 512\r\n", "  inode list: bytes ",
          "  /big: bytes 0-15359 of 15360\r\n"}},
    };
    const std::string path = TempDir("systemv_damage") + "/damaged.imd";
    for (const Case& c : cases) {
        WriteDamagedLogicalImage(sectors, c.damaged, path);
        StringSink sink;
        ScriptedPrompts prompts;
        EventHook hook;
        ASSERT_TRUE(ShowTamarinDamage(path, sink, prompts, hook));
        for (const std::string& line : c.lines)
            EXPECT_NE(sink.Text().find(line), std::string::npos) << line << "\n" << sink.Text();
    }
}
