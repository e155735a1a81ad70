// The two-column chain kernel against pixel-by-pixel 16-bit arithmetic, and
// the kernel this build uses (UADD16 on ARMv6 and later) against the plain
// one, on random input between guard bytes.
#include "arm/pixel_pair_chain.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <random>
#include <vector>

namespace vexo {
namespace {

constexpr uint8_t kGuard = 0xA5;
constexpr int kGuardBytes = 16;
constexpr ptrdiff_t kRowBytes = 12;  // a row wider than the pair, as in a picture
constexpr size_t kBufferBytes = 2 * kGuardBytes + kPixelPairChainLength * kRowBytes;

struct ChainInput {
  uint32_t start;
  std::array<uint32_t, kPixelPairChainLength> deltas;
};

ChainInput RandomInput(std::mt19937& random) {
  ChainInput input{static_cast<uint32_t>(random()), {}};
  for (uint32_t& delta : input.deltas) delta = static_cast<uint32_t>(random());
  return input;
}

using ChainKernel = void (*)(uint8_t*, ptrdiff_t, uint32_t, const uint32_t*);

std::vector<uint8_t> RunBetweenGuards(ChainKernel kernel, const ChainInput& input) {
  std::vector<uint8_t> buffer(kBufferBytes, kGuard);
  kernel(buffer.data() + kGuardBytes, kRowBytes, input.start, input.deltas.data());
  return buffer;
}

uint16_t Lane(uint32_t pair, int lane) {
  return static_cast<uint16_t>(pair >> (16 * lane));
}

TEST(PixelPairChain, EachColumnAddsModulo65536WithoutCarryIntoTheOther) {
  std::mt19937 random(7);
  for (int trial = 0; trial < 1000; ++trial) {
    const ChainInput input = RandomInput(random);
    const std::vector<uint8_t> out = RunBetweenGuards(ChainPixelPairsPlain, input);
    for (int lane = 0; lane < 2; ++lane) {
      uint16_t pixel = Lane(input.start, lane);
      for (int k = 0; k < kPixelPairChainLength; ++k) {
        pixel = static_cast<uint16_t>(pixel + Lane(input.deltas[k], lane));
        const uint8_t* at = out.data() + kGuardBytes + k * kRowBytes + 2 * lane;
        ASSERT_EQ(pixel, static_cast<uint16_t>(at[0] | at[1] << 8)) << "row " << k;
      }
    }
  }
}

TEST(PixelPairChain, WritesOnlyItsFourPairs) {
  std::mt19937 random(11);
  const std::vector<uint8_t> out = RunBetweenGuards(ChainPixelPairs, RandomInput(random));
  for (size_t i = 0; i < out.size(); ++i) {
    const ptrdiff_t inside = static_cast<ptrdiff_t>(i) - kGuardBytes;
    const bool written =
        inside >= 0 && inside < kPixelPairChainLength * kRowBytes && inside % kRowBytes < 4;
    if (!written) {
      EXPECT_EQ(out[i], kGuard) << "byte " << i;
    }
  }
}

TEST(PixelPairChain, BuildsKernelMatchesThePlainOne) {
  std::mt19937 random(13);
  for (int trial = 0; trial < 10000; ++trial) {
    const ChainInput input = RandomInput(random);
    ASSERT_EQ(RunBetweenGuards(ChainPixelPairs, input),
              RunBetweenGuards(ChainPixelPairsPlain, input))
        << "trial " << trial << (VEXO_HAS_PIXEL_PAIR_DSP ? " (uadd16)" : " (plain)");
  }
}

}  // namespace
}  // namespace vexo
