// The pixel-pair chain (fast/pixel_pair_chain.h) with ARM's two-lane
// instructions (ARMv6 and later in ARM or Thumb-2 state, ARMv7E-M: ARM11,
// Cortex-M4 and M7, but not ARMv6-M's Cortex-M0+): each step one UADD16.
#pragma once

#include <cstddef>
#include <cstdint>

#include "fast/pixel_pair_chain.h"

namespace vexo {

struct PixelPairChainDsp {
  static constexpr const char* kName = "UADD16";
  static uint32_t Add(uint32_t a, uint32_t b) {
    uint32_t sum;
    // UADD16 adds the halves separately and only sets the GE flags, which no
    // code here reads.
    __asm__("uadd16 %0, %1, %2" : "=r"(sum) : "r"(a), "r"(b));
    return sum;
  }

  static void Chain(uint8_t* rows, ptrdiff_t rowBytes, uint32_t start, const uint32_t* deltas) {
    ChainPixelPairs<Add>(rows, rowBytes, start, deltas);
  }
};

}  // namespace vexo
