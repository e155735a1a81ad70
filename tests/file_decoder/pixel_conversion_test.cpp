#include "pixel_conversion.h"

#include <gtest/gtest.h>

#include <vector>

namespace vexo {
namespace {

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
}  // namespace vexo
