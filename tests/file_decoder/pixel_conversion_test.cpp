#include "pixel_conversion.h"

#include <gtest/gtest.h>

#include <random>
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

// The one-pass conversion gives the bytes of the two passes, padding included,
// and writes nothing past the image byte count.
TEST(Rgb565ToBitmap24, SameBytesAsExpandThenFlip) {
  std::mt19937 random(11);
  for (const auto& [width, height] : {std::pair{1, 1}, {2, 3}, {3, 2}, {17, 5}, {33, 4}, {70, 3}}) {
    const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);
    std::vector<uint16_t> image565(pixels);
    for (uint16_t& pixel : image565) pixel = static_cast<uint16_t>(random());
    std::vector<uint8_t> rgb(3 * pixels);
    ExpandRgb565(image565, rgb);
    const size_t bytes = BitmapRowBytes(width) * static_cast<size_t>(height);
    std::vector<uint8_t> expected(bytes, 0xAA);
    FlipToBitmap24(rgb, width, height, expected);

    std::vector<uint8_t> bitmap(bytes + 8, 0xAA);
    EXPECT_EQ(Rgb565ToBitmap24(image565, width, height, bitmap), bytes);
    EXPECT_EQ(std::vector<uint8_t>(bitmap.begin(), bitmap.begin() + bytes), expected)
        << width << " x " << height;
    EXPECT_EQ(std::vector<uint8_t>(bitmap.begin() + bytes, bitmap.end()),
              std::vector<uint8_t>(8, 0xAA));
  }
}

}  // namespace
}  // namespace vexo
