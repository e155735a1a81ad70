// The row kernel of the 5-6-5 to 24-bit conversion: one row of 16-bit
// pixels to blue-green-red bytes, in a plain form and in wider forms for the
// processors that run them. Every form writes exactly 3 bytes per pixel and
// gives identical bytes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/simd_level.h"

namespace vexo {

// `count` pixels from `pixels` to 3 x `count` bytes at `bgr`.
using BgrRowKernel = void (*)(const uint16_t* pixels, size_t count, uint8_t* bgr);

void Rgb565RowToBgrPlain(const uint16_t* pixels, size_t count, uint8_t* bgr);
#if defined(__x86_64__)
void Rgb565RowToBgrSsse3(const uint16_t* pixels, size_t count, uint8_t* bgr);
void Rgb565RowToBgrAvx2(const uint16_t* pixels, size_t count, uint8_t* bgr);
#endif

// The form for `level`, which the processor must run.
BgrRowKernel BgrRowKernelFor(SimdLevel level);

// The form for the process's active level, chosen on first use.
BgrRowKernel ActiveBgrRowKernel();

}  // namespace vexo
