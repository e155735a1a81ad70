// Two columns of a vertical delta chain at once: a pair of 16-bit pixels in
// one 32-bit word (the left pixel in the low half, as a little-endian
// processor stores them), each half added modulo 65536 like the format's
// pixel arithmetic, so no carry crosses from one column into the other.
//
// The plain form, which runs everywhere and is the reference of the
// processor variants (kernels/arm/pixel_pair_chain_dsp.h); fast_kernels.h
// has the one this build uses.
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
// deltas[0] to deltas[k], lane by lane, added by kAdd. Row k starts
// `rowBytes` x k bytes after `rows`. Each variant passes its own addition.
template <uint32_t (*kAdd)(uint32_t, uint32_t)>
inline void ChainPixelPairs(uint8_t* rows, ptrdiff_t rowBytes, uint32_t start,
                            const uint32_t* deltas) {
  uint32_t pair = start;
  for (int k = 0; k < kPixelPairChainLength; ++k) {
    pair = kAdd(pair, deltas[k]);
    StorePixelPair(rows + k * rowBytes, pair);
  }
}

struct PixelPairChainPlain {
  static constexpr const char* kName = "plain";
  static void Chain(uint8_t* rows, ptrdiff_t rowBytes, uint32_t start, const uint32_t* deltas) {
    ChainPixelPairs<AddPixelPairsPlain>(rows, rowBytes, start, deltas);
  }
};

}  // namespace vexo
