#include "predictive/pixel_choice.h"

#include <algorithm>
#include <cstdlib>

namespace vexo {
namespace {

struct Channels {
  int red, green, blue;
};

Channels Split(uint16_t pixel) {
  return {pixel >> 11, (pixel >> 5) & 63, pixel & 31};
}

uint16_t Join(int red, int green, int blue) {
  return static_cast<uint16_t>((red << 11) | (green << 5) | blue);
}

}  // namespace

bool WithinTolerance(uint16_t a, uint16_t b, int tolerance) {
  const Channels x = Split(a);
  const Channels y = Split(b);
  return std::abs(x.red - y.red) <= tolerance && std::abs(x.green - y.green) <= tolerance &&
         std::abs(x.blue - y.blue) <= tolerance;
}

PixelChoice ChoosePixelCode(std::optional<uint16_t> predicted, uint16_t wanted, int tolerance,
                            const DeltaCodeIndex& index) {
  PixelChoice best{PixelChoice::Kind::kRaw, {}, wanted, kRawPixelCodeBits};
  if (!predicted) return best;
  if (WithinTolerance(*predicted, wanted, tolerance)) {
    return {PixelChoice::Kind::kCopy, {}, *predicted, kCopyCodeBits};
  }
  if (tolerance == 0) {  // lossless: only the exact difference will do
    const DeltaCode& code = index.For(static_cast<uint16_t>(wanted - *predicted));
    if (code.length != 0) best = {PixelChoice::Kind::kDelta, code, wanted, code.length};
    return best;
  }
  // Every value the decoder could write within tolerance, nearest first so
  // that ties in length keep the smaller error.
  const Channels w = Split(wanted);
  for (int step = 0; step <= tolerance; ++step) {
    for (int r = std::max(0, w.red - step); r <= std::min(31, w.red + step); ++r) {
      for (int g = std::max(0, w.green - step); g <= std::min(63, w.green + step); ++g) {
        for (int b = std::max(0, w.blue - step); b <= std::min(31, w.blue + step); ++b) {
          const bool onShell = std::abs(r - w.red) == step || std::abs(g - w.green) == step ||
                               std::abs(b - w.blue) == step;
          if (!onShell) continue;
          const uint16_t candidate = Join(r, g, b);
          const DeltaCode& code = index.For(static_cast<uint16_t>(candidate - *predicted));
          if (code.length != 0 && code.length < best.bits) {
            best = {PixelChoice::Kind::kDelta, code, candidate, code.length};
          }
        }
      }
    }
  }
  return best;
}

}  // namespace vexo
