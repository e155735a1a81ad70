#include "bmp_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "temp_folder_test.h"

namespace vexo {
namespace {

std::vector<uint8_t> ReadAll(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

using BmpFileTest = vexo::testing::TempFolderTest;

TEST_F(BmpFileTest, OnePixelPictureIsFiftyEightBytes) {
  const std::vector<uint8_t> bitmap = {248, 252, 248, 0};
  const auto path = (folder_ / "white1.bmp").string();
  ASSERT_TRUE(WriteBmpFile(path, 1, 1, bitmap));
  const std::vector<uint8_t> expected = {'B', 'M', 58, 0, 0, 0, 0, 0, 0, 0,   54,  0,   0, 0,  40,
                                         0,   0,   0,  1, 0, 0, 0, 1, 0, 0,   0,   1,   0, 24, 0,
                                         0,   0,   0,  0, 0, 0, 0, 0, 0, 0,   0,   0,   0, 0,  0,
                                         0,   0,   0,  0, 0, 0, 0, 0, 0, 248, 252, 248, 0};
  EXPECT_EQ(ReadAll(path), expected);
}

TEST(BmpFileName, ReplacesAVxoExtensionOrAppendsToAnyOtherName) {
  EXPECT_EQ(BmpFileNameFor("/pics/a.b.vxo"), "/pics/a.b1.bmp");
  EXPECT_EQ(BmpFileNameFor("D:\\pics\\cat.VXO"), "D:\\pics\\cat1.bmp");
  EXPECT_EQ(BmpFileNameFor("pics/cat.vXo"), "pics/cat1.bmp");
  EXPECT_EQ(BmpFileNameFor("cat.png"), "cat.png1.bmp");
  EXPECT_EQ(BmpFileNameFor("vxo"), "vxo1.bmp");
  EXPECT_EQ(BmpFileNameFor(".vxo"), "1.bmp");
}

}  // namespace
}  // namespace vexo
