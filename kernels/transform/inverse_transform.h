// The 4 x 4 inverse integer transform and the reconstruction of a block from
// its prediction and coefficients. Shared by the decoder and the encoder.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "transform/dequantisation.h"
#include "transform/sample_rows.h"

namespace vexo {

// The columns pass on column j, in place (coefficients d[j], d[4 + j],
// d[8 + j] and d[12 + j]); every form of the transform shares it.
inline void InverseTransformColumn(int32_t* d, int j) {
  const int32_t e0 = d[j] + d[8 + j];
  const int32_t e1 = d[j] - d[8 + j];
  const int32_t e2 = (d[4 + j] >> 1) - d[12 + j];
  const int32_t e3 = d[4 + j] + (d[12 + j] >> 1);
  d[j] = e0 + e3;
  d[4 + j] = e1 + e2;
  d[8 + j] = e1 - e2;
  d[12 + j] = e0 - e3;
}

// In place: coefficients d[4 x row + column] become residuals r[4 x y + x].
// The columns are transformed first, then the rows; because of the halving
// terms the order changes the result and is part of the format.
inline void InverseTransform4x4(BlockCoefficients& d) {
  for (int j = 0; j < 4; ++j) InverseTransformColumn(d.data(), j);
  for (int y = 0; y < 4; ++y) {
    int32_t* row = d.data() + 4 * y;
    const int32_t f0 = row[0] + row[2];
    const int32_t f1 = row[0] - row[2];
    const int32_t f2 = (row[1] >> 1) - row[3];
    const int32_t f3 = row[1] + (row[3] >> 1);
    row[0] = f0 + f3;
    row[1] = f1 + f2;
    row[2] = f1 - f2;
    row[3] = f0 - f3;
  }
}

// (64 x pred + residual + 32) >> 6, clamped to a sample: below 0 gives 0,
// above 255 gives 255, however far outside the range the value lies.
inline uint32_t ReconstructSample(uint32_t pred, int32_t residual) {
  return static_cast<uint32_t>(
      std::clamp<int32_t>(static_cast<int32_t>(pred) + ((residual + 32) >> 6), 0, 255));
}

// One row of four samples plus the residuals r[0..3] of its row.
template <bool kAligned = false>
inline void AddResidualRow(uint8_t* samples, const int32_t* r) {
  const SampleRow pred = LoadRow<kAligned>(samples);
  StoreRow<kAligned>(samples, RowOf(ReconstructSample(SampleOf(pred, 0), r[0]),
                                    ReconstructSample(SampleOf(pred, 1), r[1]),
                                    ReconstructSample(SampleOf(pred, 2), r[2]),
                                    ReconstructSample(SampleOf(pred, 3), r[3])));
}

// `block` holds the prediction on entry and the rebuilt samples on return.
template <bool kAligned = false>
inline void AddResidual4x4(const BlockCoefficients& residual, uint8_t* block, ptrdiff_t stride) {
  for (int y = 0; y < 4; ++y) AddResidualRow<kAligned>(block + y * stride, residual.data() + 4 * y);
}

// Rebuilds a predicted block from its dequantised coefficients. A block
// without coefficients stays its prediction; one with only the lowest
// coefficient gets a flat residual equal to that coefficient, which is what
// the full transform yields for it. kAligned: `block` and `stride` are
// multiples of 4 bytes.
template <bool kAligned = false>
inline void ReconstructBlock(uint8_t* block, ptrdiff_t stride, BlockCoefficients& coefficients,
                             CoefficientMask mask) {
  if (mask == 0) return;
  if (mask == 1) {
    const int32_t flat[4] = {coefficients[0], coefficients[0], coefficients[0], coefficients[0]};
    for (int y = 0; y < 4; ++y) AddResidualRow<kAligned>(block + y * stride, flat);
    return;
  }
  InverseTransform4x4(coefficients);
  AddResidual4x4<kAligned>(coefficients, block, stride);
}

}  // namespace vexo
