// The packing of a 4 x 4 block into 5-6-5 pixels with ARM's two-lane
// instructions (ARMv7E-M: Cortex-M4, M7): each colour's four samples of a
// row, one word, give the kept bits of samples 0 and 2 (even lanes) and of
// 1 and 3 (odd lanes) in place with one AND and a shift that an ORR takes
// for free, so a row's four pixels take a dozen instructions; PKHBT and
// PKHTB then put pixels 0, 1 and 2, 3 together, and REV16 swaps the bytes of
// both pixels of a word. Gives exactly what PackRows565Plain gives for the
// block.
#pragma once

#include <cstddef>
#include <cstdint>

#include "arm/two_lanes.h"
#include "transform/pixel_packing.h"

namespace vexo {
namespace packing_dsp {

template <bool kByteSwapped>
inline void PackBlock(const uint8_t* red, const uint8_t* green, const uint8_t* blue, uint16_t* out,
                      ptrdiff_t outStride) {
  using pixel_packing_detail::LoadAlignedWord;
  using pixel_packing_detail::StoreAlignedWord;
  using namespace two_lanes;
  const auto finish = [](uint32_t pair) { return kByteSwapped ? SwapHalfBytes(pair) : pair; };
#pragma GCC unroll 4
  for (int32_t y = 0; y < 4; ++y) {
    const uint32_t r = LoadAlignedWord(red + 4 * y);
    const uint32_t g = LoadAlignedWord(green + 4 * y);
    const uint32_t b = LoadAlignedWord(blue + 4 * y);
    // Pixels 0 and 2, and 1 and 3, each in a 16-bit lane.
    const uint32_t even = (r & 0x00F800F8u) << 8 | (g & 0x00FC00FCu) << 3 | (b & 0x00F800F8u) >> 3;
    const uint32_t odd = (r & 0xF800F800u) | (g & 0xFC00FC00u) >> 5 | (b & 0xF800F800u) >> 11;
    StoreAlignedWord(out + y * outStride, finish(JoinLowHalves(even, odd)));
    StoreAlignedWord(out + y * outStride + 2, finish(JoinHighHalves(even, odd)));
  }
}

}  // namespace packing_dsp

// Packs a whole 4 x 4 block, each colour's 16 samples in a row (rows 4
// samples apart) on a 4-byte boundary, into 4 rows of `out` `outStride`
// pixels apart, each starting on a 4-byte boundary.
inline void PackBlock565Dsp(const uint8_t* red, const uint8_t* green, const uint8_t* blue,
                            uint16_t* out, ptrdiff_t outStride, bool byteSwapped) {
  if (byteSwapped) {
    packing_dsp::PackBlock<true>(red, green, blue, out, outStride);
  } else {
    packing_dsp::PackBlock<false>(red, green, blue, out, outStride);
  }
}

}  // namespace vexo
