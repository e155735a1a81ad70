// Reduction of an 8-bit picture to 5-6-5 with dithering. The shown value of a
// level is the level times the channel's step (8 for red and blue, 4 for
// green), the highest level shown as 248 (252 for green), as the viewer
// expands the pixels with zero low bits.
#include "dither.h"

#include <algorithm>
#include <array>

namespace vexo {

namespace {

constexpr std::array<int, 3> kStep = {8, 4, 8};
constexpr std::array<int, 3> kTopLevel = {31, 63, 31};

uint16_t Pack(const std::array<int, 3>& levels) {
  return static_cast<uint16_t>((levels[0] << 11) | (levels[1] << 5) | levels[2]);
}

// The classic 4 x 4 Bayer matrix: every threshold 0..15 once in each block.
constexpr int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

}  // namespace

// Level floor(value / step + (2 m + 1) / 32) for the pixel's threshold m, so
// that the 16 thresholds of a block round a flat area up as often as its
// fraction of a step asks; their mean, 1/2, is plain rounding's offset.
std::vector<uint16_t> OrderedDither(const RgbPicture& picture) {
  std::vector<uint16_t> pixels(picture.rgb.size() / 3);
  for (int32_t y = 0; y < picture.height; ++y) {
    for (int32_t x = 0; x < picture.width; ++x) {
      const size_t i = static_cast<size_t>(y) * picture.width + x;
      const int offset = 2 * kBayer[y % 4][x % 4] + 1;
      std::array<int, 3> levels{};
      for (int c = 0; c < 3; ++c) {
        const int scaled = picture.rgb[3 * i + c] * (32 / kStep[c]);
        levels[c] = std::min(kTopLevel[c], (scaled + offset) >> 5);
      }
      pixels[i] = Pack(levels);
    }
  }
  return pixels;
}

// Floyd-Steinberg error diffusion in sixteenths of an 8-bit value, rows in
// serpentine order (even rows left to right, odd rows right to left, the
// weights mirrored with them). Each channel's wanted value, source plus the
// error carried to it, is clamped to the shown range before it is rounded to
// the nearest level, so that the top values the picture cannot show (above
// 248) carry no error that would grow without end. The four shares of an error
// sum to it exactly; shares that would leave the picture are dropped.
std::vector<uint16_t> FloydSteinbergDither(const RgbPicture& picture) {
  const size_t width = static_cast<size_t>(picture.width);
  std::vector<uint16_t> pixels(picture.rgb.size() / 3);
  // Errors carried into this row and the next, one spare column each side.
  std::vector<int> thisRow(3 * (width + 2), 0);
  std::vector<int> nextRow(3 * (width + 2), 0);
  for (int32_t y = 0; y < picture.height; ++y) {
    const bool leftToRight = y % 2 == 0;
    const int ahead = leftToRight ? 3 : -3;  // one column on, in the row's order
    std::fill(nextRow.begin(), nextRow.end(), 0);
    for (size_t step = 0; step < width; ++step) {
      const size_t x = leftToRight ? step : width - 1 - step;
      const size_t i = static_cast<size_t>(y) * width + x;
      std::array<int, 3> levels{};
      for (int c = 0; c < 3; ++c) {
        const size_t at = 3 * (x + 1) + c;
        const int stepSixteenths = 16 * kStep[c];
        const int wanted =
            std::clamp(16 * picture.rgb[3 * i + c] + thisRow[at], 0, kTopLevel[c] * stepSixteenths);
        levels[c] = (wanted + stepSixteenths / 2) / stepSixteenths;
        const int error = wanted - levels[c] * stepSixteenths;
        const int right = error * 7 / 16;
        const int belowBehind = error * 3 / 16;
        const int below = error * 5 / 16;
        thisRow[at + ahead] += right;
        nextRow[at - ahead] += belowBehind;
        nextRow[at] += below;
        nextRow[at + ahead] += error - right - belowBehind - below;
      }
      pixels[i] = Pack(levels);
    }
    std::swap(thisRow, nextRow);
  }
  return pixels;
}

}  // namespace vexo
