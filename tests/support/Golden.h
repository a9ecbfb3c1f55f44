// Golden report texts: a test renders a report and compares it with tests/golden/<name>.txt.
// Run the tests with UPDATE_GOLDEN=1 to rewrite the files from what the code produces now; the
// change then shows in the diff for review.
#pragma once

#include <string>

// Compares text with the golden file name (without ".txt"); returns "" when they match,
// otherwise a description of the first difference.
std::string CompareGolden(const std::string& name, const std::string& text);

#define EXPECT_GOLDEN(name, text) EXPECT_EQ(CompareGolden(name, text), "")

// Where the test suite finds its inputs.
std::string FixtureDir();      // images made at test time by peer tools and builders
std::string SharedImagesDir(); // real vintage images, when present (never committed)
std::string RealImagesDir();   // real images from other machines and tools, when present
std::string TempDir(const std::string& name); // a fresh empty folder for one test
