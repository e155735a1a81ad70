// The reconstruction of a transform block for 32-bit processors without a
// vector unit (the ARM7 and ARM9 class), exactly what ReconstructBlock gives:
//
// - the rounding of every residual is one addition to the lowest coefficient
//   (it reaches every sample unchanged through both passes);
// - columns without coefficients are left out of the first pass;
// - the second pass adds each row of residuals to its prediction at once;
// - the clamp is one test per row of four samples, and only a row with a
//   sample outside 0 to 255 is clamped sample by sample;
// - a block with only the lowest coefficient adds it to two samples of a row
//   at a time, each in its own 16-bit half of a word.
//
// The block's rows must start on 4-byte boundaries. Portable C++: the
// host's tests hold it to the plain version as well.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "transform/dequantisation.h"
#include "transform/inverse_transform.h"
#include "transform/sample_rows.h"

namespace vexo {
namespace reconstruction_arm_detail {

inline uint32_t ClampSample(int32_t value) {
  if (static_cast<uint32_t>(value) <= 255) return static_cast<uint32_t>(value);
  return static_cast<uint32_t>(~(value >> 31)) & 0xFF;  // 0 below, 255 above
}

// Out of line: the rare row that needs it leaves the common one its
// registers.
[[gnu::noinline]] inline SampleRow ClampRow(int32_t v0, int32_t v1, int32_t v2, int32_t v3) {
  return RowOf(ClampSample(v0), ClampSample(v1), ClampSample(v2), ClampSample(v3));
}

// The row of four samples `pred` plus the rounded residuals (r + 32 already
// in r) of its row.
inline SampleRow AddResiduals(SampleRow pred, int32_t r0, int32_t r1, int32_t r2, int32_t r3) {
  const int32_t v0 = static_cast<int32_t>(SampleOf(pred, 0)) + (r0 >> 6);
  const int32_t v1 = static_cast<int32_t>(SampleOf(pred, 1)) + (r1 >> 6);
  const int32_t v2 = static_cast<int32_t>(SampleOf(pred, 2)) + (r2 >> 6);
  const int32_t v3 = static_cast<int32_t>(SampleOf(pred, 3)) + (r3 >> 6);
  if (((v0 | v1 | v2 | v3) & ~0xFF) == 0) {
    return RowOf(static_cast<uint32_t>(v0), static_cast<uint32_t>(v1), static_cast<uint32_t>(v2),
                 static_cast<uint32_t>(v3));
  }
  return ClampRow(v0, v1, v2, v3);
}

// The flat residual `value` ((coefficient + 32) >> 6) added to every sample.
inline void AddFlat(uint8_t* block, ptrdiff_t stride, int32_t value) {
  if (value < -255 || value > 255) {
    for (int y = 0; y < 4; ++y) {
      uint8_t* row = block + y * stride;
      StoreRow<true>(row, RowOf(ClampSample(value + row[0]), ClampSample(value + row[1]),
                                ClampSample(value + row[2]), ClampSample(value + row[3])));
    }
    return;
  }
  // Samples 0 and 2 (1 and 3) in the two halves of a word, plus the value in
  // each half: a half outside 0 to 255 shows in the high byte of one half
  // (a negative low half also borrows from the high one, which then shows
  // as well or does not matter).
  constexpr uint32_t kLowBytes = 0x00FF00FF;
  const uint32_t add = static_cast<uint32_t>(value) * 0x00010001u;
  for (int y = 0; y < 4; ++y) {
    uint8_t* row = block + y * stride;
    const SampleRow pred = LoadRow<true>(row);
    const uint32_t even = (pred & kLowBytes) + add;
    const uint32_t odd = (pred >> 8 & kLowBytes) + add;
    if (((even | odd) & ~kLowBytes) == 0) {
      StoreRow<true>(row, even | odd << 8);
    } else {
      StoreRow<true>(row, AddResiduals(pred, value << 6, value << 6, value << 6, value << 6));
    }
  }
}

}  // namespace reconstruction_arm_detail

// As ReconstructBlock; `coefficients` may be changed. kAddResiduals adds a
// row's residuals to its prediction as AddResiduals does; a processor's
// variant may take its place.
template <auto kAddResiduals = reconstruction_arm_detail::AddResiduals>
inline void ReconstructBlockArm(uint8_t* block, ptrdiff_t stride, BlockCoefficients& coefficients,
                                CoefficientMask mask) {
  using namespace reconstruction_arm_detail;
  if (mask == 0) return;
  int32_t* const d = coefficients.data();
  if (mask == 1) return AddFlat(block, stride, (d[0] + 32) >> 6);
  d[0] += 32;
  mask |= 1;
#pragma GCC unroll 4
  for (int j = 0; j < 4; ++j) {
    if ((mask & (CoefficientMask{0x1111} << j)) == 0) continue;  // the column stays 0
    InverseTransformColumn(d, j);
  }
#pragma GCC unroll 4
  for (int y = 0; y < 4; ++y) {
    const int32_t* row = d + 4 * y;
    const int32_t f0 = row[0] + row[2];
    const int32_t f1 = row[0] - row[2];
    const int32_t f2 = (row[1] >> 1) - row[3];
    const int32_t f3 = row[1] + (row[3] >> 1);
    uint8_t* const samples = block + y * stride;
    StoreRow<true>(samples,
                   kAddResiduals(LoadRow<true>(samples), f0 + f3, f1 + f2, f1 - f2, f0 - f3));
  }
}

}  // namespace vexo
