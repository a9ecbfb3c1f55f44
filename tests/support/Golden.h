// Golden report texts: a test renders a report and compares it with tests/golden/<name>.txt.
// Run the tests with UPDATE_GOLDEN=1 to rewrite the files from what the code produces now; the
// change then shows in the diff for review.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Compares text with the golden file name (without ".txt"); returns "" when they match,
// otherwise a description of the first difference.
std::string CompareGolden(const std::string& name, const std::string& text);

#define EXPECT_GOLDEN(name, text) EXPECT_EQ(CompareGolden(name, text), "")

// Where the test suite finds its inputs.
std::string FixtureDir();      // images made at test time by peer tools and builders
std::string SharedImagesDir(); // real vintage images, when present (never committed)
std::string RealImagesDir();   // real images from other machines and tools, when present
std::string TempDir(const std::string& name); // a fresh empty folder for one test

// Host files and shell commands, for the tests that meet the programs and the peer tools.
std::vector<std::uint8_t> ReadHostFile(const std::string& path); // empty when unreadable
void WriteHostFile(const std::string& path, const std::vector<std::uint8_t>& bytes);
// Runs a shell command (with /sbin and /usr/sbin on PATH); its standard output, and its exit
// status in status.
std::string RunCommand(const std::string& command, int* status = nullptr);
struct CommandRun {
    std::string out;
    int status = -1;
};
CommandRun RunShell(const std::string& command); // standard output and exit status
bool HaveTool(const std::string& name);          // on PATH, /sbin or /usr/sbin
std::string Quote(const std::string& text);      // for the shell
std::vector<std::string> SplitLines(const std::string& text, bool skipEmpty = false);
