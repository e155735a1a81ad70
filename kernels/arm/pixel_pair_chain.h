// Two columns of a vertical delta chain at once: a pair of 16-bit pixels in
// one 32-bit word (the left pixel in the low half, as a little-endian
// processor stores them), each half added modulo 65536 like the format's
// pixel arithmetic, so no carry crosses from one column into the other.
//
// ChainPixelPairsPlain runs everywhere and is the reference. On ARMv6 and
// later with the DSP extension (ARM11 and up in ARM or Thumb-2 state, and
// ARMv7E-M: Cortex-M4 and M7, but not ARMv6-M's Cortex-M0+)
// ChainPixelPairsDsp does each step with one UADD16; ChainPixelPairs is the
// one this build uses.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace vexo {

inline constexpr int kPixelPairChainLength = 4;

// Both halves of `a` plus those of `b`, each modulo 65536.
constexpr uint32_t AddPixelPairsPlain(uint32_t a, uint32_t b) {
  const uint32_t low = (a + b) & 0xFFFFu;
  const uint32_t high = ((a >> 16) + (b >> 16)) << 16;
  return low | high;
}

inline void StorePixelPair(uint8_t* at, uint32_t pair) {
  std::memcpy(at, &pair, sizeof pair);
}

// Writes the four rows of a pair of columns: row k holds `start` plus
// deltas[0] to deltas[k], lane by lane. Row k starts `rowBytes` x k bytes
// after `rows`.
inline void ChainPixelPairsPlain(uint8_t* rows, ptrdiff_t rowBytes, uint32_t start,
                                 const uint32_t* deltas) {
  uint32_t pair = start;
  for (int k = 0; k < kPixelPairChainLength; ++k) {
    pair = AddPixelPairsPlain(pair, deltas[k]);
    StorePixelPair(rows + k * rowBytes, pair);
  }
}

#if defined(__ARM_ARCH) && __ARM_ARCH >= 6 && defined(__ARM_FEATURE_DSP)
#define VEXO_HAS_PIXEL_PAIR_DSP 1

inline uint32_t AddPixelPairsDsp(uint32_t a, uint32_t b) {
  uint32_t sum;
  // UADD16 adds the halves separately and only sets the GE flags, which no
  // code here reads.
  __asm__("uadd16 %0, %1, %2" : "=r"(sum) : "r"(a), "r"(b));
  return sum;
}

inline void ChainPixelPairsDsp(uint8_t* rows, ptrdiff_t rowBytes, uint32_t start,
                               const uint32_t* deltas) {
  uint32_t pair = start;
  for (int k = 0; k < kPixelPairChainLength; ++k) {
    pair = AddPixelPairsDsp(pair, deltas[k]);
    StorePixelPair(rows + k * rowBytes, pair);
  }
}

inline void ChainPixelPairs(uint8_t* rows, ptrdiff_t rowBytes, uint32_t start,
                            const uint32_t* deltas) {
  ChainPixelPairsDsp(rows, rowBytes, start, deltas);
}
#else
#define VEXO_HAS_PIXEL_PAIR_DSP 0

inline void ChainPixelPairs(uint8_t* rows, ptrdiff_t rowBytes, uint32_t start,
                            const uint32_t* deltas) {
  ChainPixelPairsPlain(rows, rowBytes, start, deltas);
}
#endif

}  // namespace vexo
