#include "area_scaling.h"

#include <algorithm>

namespace vexo::thumbnailer {
namespace {

// One source pixel's share of an output pixel along one axis.
struct Tap {
  size_t source;
  uint64_t weight;
};

// Output pixel i covers source positions [i * from / to, (i + 1) * from / to).
// Measured in units of 1 / to, source pixel s spans [s * to, (s + 1) * to)
// and every output pixel's weights add up to `from`.
std::vector<std::vector<Tap>> AreaTaps(int32_t from, int32_t to) {
  std::vector<std::vector<Tap>> taps(static_cast<size_t>(to));
  for (int64_t i = 0; i < to; ++i) {
    const int64_t start = i * from;
    const int64_t end = start + from;
    for (int64_t s = start / to; s * to < end; ++s) {
      const int64_t overlap = std::min(end, (s + 1) * to) - std::max(start, s * to);
      taps[static_cast<size_t>(i)].push_back(
          {static_cast<size_t>(s), static_cast<uint64_t>(overlap)});
    }
  }
  return taps;
}

}  // namespace

std::vector<uint8_t> ShrinkByAreaAveraging(std::span<const uint8_t> rgb, int32_t width,
                                           int32_t height, int32_t toWidth, int32_t toHeight) {
  const auto across = AreaTaps(width, toWidth);
  const auto down = AreaTaps(height, toHeight);
  const auto sourceWidth = static_cast<size_t>(width);
  const auto outWidth = static_cast<size_t>(toWidth);

  // Rows first, keeping the weighted sums unrounded (at most 255 x width).
  std::vector<uint32_t> narrowed(static_cast<size_t>(height) * outWidth * 3);
  for (size_t y = 0; y < static_cast<size_t>(height); ++y) {
    const uint8_t* row = rgb.data() + y * sourceWidth * 3;
    uint32_t* out = narrowed.data() + y * outWidth * 3;
    for (size_t x = 0; x < outWidth; ++x) {
      for (const Tap& tap : across[x]) {
        for (size_t c = 0; c < 3; ++c)
          out[3 * x + c] += static_cast<uint32_t>(tap.weight) * row[3 * tap.source + c];
      }
    }
  }

  // Then columns, dividing once by the whole area, rounded to nearest.
  const uint64_t area = static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
  std::vector<uint8_t> shrunk(outWidth * static_cast<size_t>(toHeight) * 3);
  for (size_t y = 0; y < static_cast<size_t>(toHeight); ++y) {
    for (size_t i = 0; i < outWidth * 3; ++i) {
      uint64_t sum = 0;
      for (const Tap& tap : down[y]) sum += tap.weight * narrowed[tap.source * outWidth * 3 + i];
      shrunk[y * outWidth * 3 + i] = static_cast<uint8_t>((sum + area / 2) / area);
    }
  }
  return shrunk;
}

}  // namespace vexo::thumbnailer
