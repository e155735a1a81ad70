// The straight-line symbol cutting of every width against a bit-by-bit read.
#include "fast/fast_symbols.h"

#include <gtest/gtest.h>

#include <random>
#include <utility>
#include <vector>

namespace vexo::testing {
namespace {

uint32_t SymbolBitByBit(const std::vector<uint8_t>& bytes, int bits, int index) {
  uint32_t symbol = 0;
  for (int bit = index * bits; bit < (index + 1) * bits; ++bit) {
    symbol = (symbol << 1) | ((bytes[bit / 8] >> (7 - bit % 8)) & 1u);
  }
  return symbol;
}

template <int kBits>
void ExpectCutMatchesBitByBit(std::mt19937& random) {
  for (int trial = 0; trial < 200; ++trial) {
    // Only the block's own 2 x kBits bytes are random; the rest of what the
    // cutting may read is set to ones, which must not leak into a symbol.
    std::vector<uint8_t> bytes(kFastSymbolReadBytes, 0xFF);
    for (int i = 0; i < 2 * kBits; ++i) bytes[i] = static_cast<uint8_t>(random());
    const FastSymbols symbols = CutSymbols<kBits>(bytes.data());
    for (int k = 0; k < kFastBlockPixels; ++k) {
      ASSERT_EQ(symbols[k], SymbolBitByBit(bytes, kBits, k)) << kBits << " bits, symbol " << k;
    }
  }
}

template <int... kWidthsFromZero>
void ExpectEveryWidthCutsLikeABitByBitRead(std::integer_sequence<int, kWidthsFromZero...>) {
  std::mt19937 random(7);
  (ExpectCutMatchesBitByBit<kWidthsFromZero + 1>(random), ...);
}

TEST(FastSymbolsTest, EveryWidthCutsLikeABitByBitRead) {
  ExpectEveryWidthCutsLikeABitByBitRead(std::make_integer_sequence<int, kFastMaxSymbolBits>{});
}

}  // namespace
}  // namespace vexo::testing
