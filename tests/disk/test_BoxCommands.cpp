// The progress line of long commands, which a terminal shows and a pipe does not.
#include "Golden.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

// The progress line is drawn on a terminal (a pseudo-terminal through script) and cleared at
// the end; through a pipe standard error gets nothing. Quarry's new and fill write an image;
// a Save All of one image and a file saved to OUT count the bytes written.
TEST(BoxCommands, ProgressLineOnATerminalOnly) {
    const std::string image = std::string(SUITE_SAMPLES_DIR) + "/osprey-sample.img";
    const std::string made =
        (fs::temp_directory_path() / ("progress-" + std::to_string(getpid()) + ".img")).string();
    const std::string quarry = QUARRY_EXE;
    const std::pair<std::string, std::string> cases[] = {
        {std::string(OSPREY_EXE) + " identify " + image + " " + image, "\rIdentify: 0 of 2"},
        {quarry + " new " + made + " --format PC-1440", "\rNew Image: 0.0 KiB of 1.4 MiB"},
        {quarry + " fill " + made, "\rFill Image: 0.0 KiB of 1.4 MiB"},
        {std::string(KESTREL_EXE) + " save-all " + SUITE_SAMPLES_DIR "/kestrel-sample.imd " + made +
             ".d",
         "\rSave All: "},
        {std::string(OSPREY_EXE) + " get " + image + " /README.TXT " + made + ".txt",
         "\rSave: 0.1 KiB of 0.1 KiB, "}};
    if (RunShell("command -v script >/dev/null").status != 0)
        GTEST_SKIP() << "script (util-linux) is not installed: no pseudo-terminal";
    for (const bool onTerminal : {true, false}) {
        fs::remove(made);
        fs::remove_all(made + ".d");
        for (const auto& [command, line] : cases) {
            SCOPED_TRACE(command);
            const CommandRun run =
                onTerminal ? RunShell("SUITE_PROGRESS_AFTER=0 script -qec '" + command +
                                      " >/dev/null' /dev/null")
                           : RunShell("SUITE_PROGRESS_AFTER=0 " + command + " 2>&1 >/dev/null");
            EXPECT_EQ(run.status, 0);
            if (onTerminal) {
                EXPECT_NE(run.out.find(line), std::string::npos) << run.out;
                EXPECT_NE(run.out.find("\r\x1b[K"), std::string::npos) << run.out;
            } else {
                EXPECT_EQ(run.out, "");
            }
        }
    }
    fs::remove(made);
    fs::remove(made + ".txt");
    fs::remove_all(made + ".d");
}
