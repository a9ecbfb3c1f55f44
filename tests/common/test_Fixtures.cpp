#include "Golden.h"
#include "modUtility.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

// The peer-tool fixture pipeline works: the image mkfs.fat made is in the fixture folder and is
// the FAT12 floppy it was asked for.
TEST(Fixtures, PeerToolImagesAreMadeBeforeTheTests) {
    std::ifstream in(FixtureDir() + "/fat12-floppy.img", std::ios::binary);
    ASSERT_TRUE(in) << "fixture image missing in " << FixtureDir();
    const std::vector<std::uint8_t> image((std::istreambuf_iterator<char>(in)),
                                          std::istreambuf_iterator<char>());
    ASSERT_EQ(image.size(), 1474560u);
    EXPECT_EQ(GetWord(image, 510), 0x55AA);
    EXPECT_EQ(std::string(image.begin() + 54, image.begin() + 59), "FAT12");
    EXPECT_EQ(std::string(image.begin() + 43, image.begin() + 53), "SAMPLEDISK");
}
