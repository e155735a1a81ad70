#include "pixel_conversion.h"

#include <gtest/gtest.h>

#include <vector>

namespace orvane {
namespace {

struct ExpandCase {
  uint16_t pixel;
  uint8_t red, green, blue;
};

class ExpandTest : public ::testing::TestWithParam<ExpandCase> {};

TEST_P(ExpandTest, KeepsTheHighBitsAndLeavesTheLowOnesZero) {
  const ExpandCase& c = GetParam();
  const std::vector<uint16_t> image = {c.pixel};
  std::vector<uint8_t> rgb(3);
  ExpandRgb565(image, rgb);
  EXPECT_EQ(rgb, (std::vector<uint8_t>{c.red, c.green, c.blue}));
}

INSTANTIATE_TEST_SUITE_P(Channels, ExpandTest,
                         ::testing::Values(ExpandCase{0xFFFF, 248, 252, 248},
                                           ExpandCase{0xF800, 248, 0, 0},
                                           ExpandCase{0x07E0, 0, 252, 0},
                                           ExpandCase{0x001F, 0, 0, 248},
                                           ExpandCase{0x0821, 8, 4, 8}));

TEST(RowPadding, BringsEachRowToAMultipleOfFour) {
  const int32_t widths[] = {1, 2, 3, 4, 5};
  const int32_t paddings[] = {1, 2, 3, 0, 1};
  const size_t rowBytes[] = {4, 8, 12, 12, 16};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(RowPadding(widths[i]), paddings[i]);
    EXPECT_EQ(BitmapRowBytes(widths[i]), rowBytes[i]);
  }
}

TEST(FlipToBitmap24, BottomRowFirstInBlueGreenRedWithZeroPadding) {
  // 2 x 2: top row red, white; bottom row green, blue.
  const std::vector<uint8_t> rgb = {1, 2, 3, 4,  5,  6,  //
                                    7, 8, 9, 10, 11, 12};
  std::vector<uint8_t> bitmap(16, 0xAA);
  EXPECT_EQ(FlipToBitmap24(rgb, 2, 2, bitmap), 16u);
  const std::vector<uint8_t> expected = {9, 8, 7, 12, 11, 10, 0, 0,  //
                                         3, 2, 1, 6,  5,  4,  0, 0};
  EXPECT_EQ(bitmap, expected);
}

}  // namespace
}  // namespace orvane
