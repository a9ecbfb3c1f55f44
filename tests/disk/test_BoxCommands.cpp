// A box of disks in one run: Save All of several images with a bad one in the middle, and the
// progress line, which a terminal shows and a pipe does not.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>

namespace fs = std::filesystem;

namespace {

struct Output {
    std::string text;
    int status = -1;
};

Output Shell(const std::string& command) {
    Output run;
    FILE* pipe = popen(command.c_str(), "r");
    char buffer[4096];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        run.text.append(buffer, n);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::size_t FilesBelow(const fs::path& folder) {
    std::size_t n = 0;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        n += entry.is_regular_file() ? 1 : 0;
    return n;
}

} // namespace

// Each program saves two good images of one name apart and counts and names the bad one
// between them; the others are still saved and the status is 1.
TEST(BoxCommands, SaveAllOfSeveralImagesWithABadOneInTheMiddle) {
    const fs::path samples = SUITE_SAMPLES_DIR;
    const fs::path box = fs::temp_directory_path() / ("box-save-" + std::to_string(getpid()));
    struct Program {
        std::string exe, image, files;
    };
    const Program programs[] = {{KESTREL_EXE, "kestrel-sample.imd", "13 files"},
                                {OSPREY_EXE, "osprey-sample.img", "4 files"},
                                {QUARRY_EXE, "quarry-sample.img", "5 files"}};
    for (const Program& p : programs) {
        SCOPED_TRACE(p.exe);
        fs::remove_all(box);
        fs::create_directories(box / "a");
        fs::create_directories(box / "b");
        fs::copy_file(samples / p.image, box / "a" / p.image);
        fs::copy_file(samples / p.image, box / "b" / p.image);
        std::ofstream(box / "bad.img") << "not a disk";
        const fs::path target = box / "out";
        const Output run = Shell(p.exe + " save-all " + (box / "a" / p.image).string() + " " +
                                 (box / "bad.img").string() + " " + (box / "b" / p.image).string() +
                                 " " + target.string() + " 2>/dev/null");
        EXPECT_EQ(run.status, 1) << run.text;
        const std::string stem = fs::path(p.image).stem().string();
        const std::string ext = fs::path(p.image).extension().string();
        EXPECT_NE(run.text.find(p.files + " saved into " + (target / p.image).string()),
                  std::string::npos)
            << run.text;
        EXPECT_NE(run.text.find((box / "bad.img").string() + ": not saved: refused"),
                  std::string::npos)
            << run.text;
        EXPECT_NE(run.text.find(p.files + " saved into " + (target / (stem + "~2" + ext)).string()),
                  std::string::npos)
            << run.text;
        EXPECT_NE(run.text.find("Total: 3 of 3 images, "), std::string::npos) << run.text;
        EXPECT_NE(run.text.find("1 image not read"), std::string::npos) << run.text;
        EXPECT_EQ(FilesBelow(target / p.image), FilesBelow(target / (stem + "~2" + ext)));
        EXPECT_GT(FilesBelow(target / p.image), 0u);
        EXPECT_FALSE(fs::exists(target / "bad.img"));
    }
    fs::remove_all(box);
}

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
    if (Shell("command -v script >/dev/null").status != 0)
        GTEST_SKIP() << "script (util-linux) is not installed: no pseudo-terminal";
    for (const bool onTerminal : {true, false}) {
        fs::remove(made);
        fs::remove_all(made + ".d");
        for (const auto& [command, line] : cases) {
            SCOPED_TRACE(command);
            const Output run =
                onTerminal ? Shell("SUITE_PROGRESS_AFTER=0 script -qec '" + command +
                                   " >/dev/null' /dev/null")
                           : Shell("SUITE_PROGRESS_AFTER=0 " + command + " 2>&1 >/dev/null");
            EXPECT_EQ(run.status, 0);
            if (onTerminal) {
                EXPECT_NE(run.text.find(line), std::string::npos) << run.text;
                EXPECT_NE(run.text.find("\r\x1b[K"), std::string::npos) << run.text;
            } else {
                EXPECT_EQ(run.text, "");
            }
        }
    }
    fs::remove(made);
    fs::remove(made + ".txt");
    fs::remove_all(made + ".d");
}
