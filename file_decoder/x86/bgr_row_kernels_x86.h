// The x86 forms of the row kernel (bgr_row_kernels.h), each compiled for
// its instruction set with target attributes and run only where the
// processor reports that set (x86/simd_level.h).
#pragma once

#include <cstddef>
#include <cstdint>

#include "bgr_row_kernels.h"

namespace vexo {

// 16 pixels per step; needs SSSE3, which every SSE4.1 processor has.
void Rgb565RowToBgrSsse3(const uint16_t* pixels, size_t count, uint8_t* bgr);
// 32 pixels per step; needs AVX2.
void Rgb565RowToBgrAvx2(const uint16_t* pixels, size_t count, uint8_t* bgr);

}  // namespace vexo
