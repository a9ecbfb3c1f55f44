// The damage command on real ImageDisk files, run as a user runs it.
#include "Golden.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

CommandRun Execute(const std::string& program, const std::string& arguments) {
    return RunShell("'" + program + "' " + arguments + " 2>&1 </dev/null");
}

} // namespace

// The damage command on the real ImageDisk files: every one is reported with status 0, none
// crashes; the Kaypro disk's two unreadable 512-byte sectors lie outside Kestrel's logical
// sectors and are named as such rather than called whole. A missing image fails with status 1.
TEST(InfoCommand, DamageReportsTheRealImageDiskFilesAndFailsOnlyWhereNoImageIs) {
    EXPECT_EQ(Execute(KESTREL_EXE, "damage /nonexistent.imd").status, 1);
    const std::string real = SUITE_REAL_IMAGES_DIR "/imd";
    if (!std::filesystem::is_directory(real)) GTEST_SKIP() << "no real images in " << real;
    int reported = 0;
    for (const auto& entry : std::filesystem::directory_iterator(real)) {
        for (const char* program : {KESTREL_EXE, TAMARIN_EXE}) {
            const CommandRun run = Execute(program, "damage '" + entry.path().string() + "'");
            EXPECT_EQ(run.status, 0) << program << " " << entry.path() << run.out;
            reported += run.status == 0;
        }
    }
    EXPECT_GE(reported, 2);
    const CommandRun kaypro = Execute(KESTREL_EXE, "damage '" + real + "/SBASIC.imd'");
    if (!std::filesystem::exists(real + "/SBASIC.imd")) return;
    EXPECT_NE(kaypro.out.find("Damaged sectors that no logical sector reads: 2\n"
                              "  cylinder 0, head 0, sector 1: unavailable\n"
                              "  cylinder 0, head 1, sector 11: unavailable\n"),
              std::string::npos)
        << kaypro.out;
}
