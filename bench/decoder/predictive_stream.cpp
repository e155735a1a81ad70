#include "predictive_stream.h"

#include <algorithm>
#include <random>

#include "bit_writer.h"

namespace vexo::testing {
namespace {

void PutPixelCode(BitWriter& bits, std::vector<uint16_t>& raw, std::mt19937& random) {
  const uint32_t roll = random() % 100;
  if (roll < 55) {
    bits.PutBit(true);
  } else if (roll < 97) {
    const int deltaClass = roll < 90 ? static_cast<int>(random() % 3) : 3 + random() % 4;
    bits.PutBit(false);
    bits.Put(static_cast<uint32_t>(deltaClass), 3);
    bits.Put(random(), deltaClass + 2);
  } else {
    bits.PutBits("0111");
    raw.push_back(static_cast<uint16_t>(random()));
  }
}

}  // namespace

std::vector<uint8_t> MakeTypicalPredictiveFile(uint16_t width, uint16_t height,
                                               uint8_t codecVersion, uint32_t seed) {
  std::mt19937 random(seed);
  BitWriter bits;
  std::vector<uint16_t> raw;
  for (int y = 0; y < height; y += 4) {
    for (int x = 0; x < width; x += 4) {
      const uint32_t mode = random() % 20 == 0 ? 3 : random() % 3;
      bits.Put(mode, 2);
      if (mode == 3) continue;
      const int pixels = std::min(4, width - x) * std::min(4, height - y);
      for (int i = 0; i < pixels; ++i) PutPixelCode(bits, raw, random);
    }
  }
  return MakePredictiveFile({.width = width, .height = height, .codecVersion = codecVersion},
                            bits.Bytes(), raw);
}

}  // namespace vexo::testing
