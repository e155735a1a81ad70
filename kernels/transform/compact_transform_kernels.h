// The small policy's transform kernels: the plain kernels' results in little
// code, with the few shortcuts that cost almost none (as the 32-bit
// processors' reconstruction takes them):
//
// - predictions and rebuilt rows are stored as whole aligned words (the
//   block lies on a 4-byte boundary);
// - the rounding of every residual is one addition to the lowest
//   coefficient, which reaches every sample unchanged through both passes;
// - the first pass leaves out columns without coefficients, and a block
//   with only the lowest coefficient needs no pass at all;
// - a rebuilt row is clamped only when one of its samples lies outside 0 to
//   255;
// - the byte order of the packed pixels is chosen once a block.
#pragma once

#include <cstddef>
#include <cstdint>

#include "transform/dequantisation.h"
#include "transform/intra_prediction.h"
#include "transform/inverse_transform.h"
#include "transform/pixel_packing.h"
#include "transform/sample_rows.h"

namespace vexo {

namespace compact_kernels_detail {

inline uint32_t ClampSample(int32_t value) {
  if (static_cast<uint32_t>(value) <= 255) return static_cast<uint32_t>(value);
  return value < 0 ? 0 : 255;
}

// Out of line: the rare row that needs it leaves the common one its
// registers.
[[gnu::noinline]] inline SampleRow ClampRow(int32_t v0, int32_t v1, int32_t v2, int32_t v3) {
  return RowOf(ClampSample(v0), ClampSample(v1), ClampSample(v2), ClampSample(v3));
}

// Adds the rounded residuals (32 already added) of one row to its four
// samples at `samples`, a 4-byte boundary.
inline void AddResidualRow(uint8_t* samples, int32_t r0, int32_t r1, int32_t r2, int32_t r3) {
  const SampleRow pred = LoadRow<true>(samples);
  const int32_t v0 = static_cast<int32_t>(SampleOf(pred, 0)) + (r0 >> 6);
  const int32_t v1 = static_cast<int32_t>(SampleOf(pred, 1)) + (r1 >> 6);
  const int32_t v2 = static_cast<int32_t>(SampleOf(pred, 2)) + (r2 >> 6);
  const int32_t v3 = static_cast<int32_t>(SampleOf(pred, 3)) + (r3 >> 6);
  SampleRow row;
  if (((v0 | v1 | v2 | v3) & ~0xFF) == 0) {
    row = RowOf(static_cast<uint32_t>(v0), static_cast<uint32_t>(v1), static_cast<uint32_t>(v2),
                static_cast<uint32_t>(v3));
  } else {
    row = ClampRow(v0, v1, v2, v3);
  }
  StoreRow<true>(samples, row);
}

// The columns pass of the inverse transform, on the columns with
// coefficients only.
inline void TransformColumns(int32_t* d, CoefficientMask mask) {
  for (int j = 0; j < 4; ++j, mask >>= 1) {
    if ((mask & 0x1111) == 0) continue;  // the column stays 0
    InverseTransformColumn(d, j);
  }
}

// The rows pass, each row's residuals added to its samples as they come.
inline void TransformRowsIntoBlock(const int32_t* d, uint8_t* block) {
  for (int y = 0; y < 4; ++y, d += 4, block += 4) {
    const int32_t f0 = d[0] + d[2];
    const int32_t f1 = d[0] - d[2];
    const int32_t f2 = (d[1] >> 1) - d[3];
    const int32_t f3 = d[1] + (d[3] >> 1);
    AddResidualRow(block, f0 + f3, f1 + f2, f1 - f2, f0 - f3);
  }
}

// The pixels of `rows` rows of `columns` samples of each plane, rows 4
// samples apart (a block's), with the byte order chosen once.
template <bool kByteSwapped>
void PackBlock(const uint8_t* red, const uint8_t* green, const uint8_t* blue, int32_t columns,
               int32_t rows, uint16_t* out, ptrdiff_t outStride) {
  for (int32_t y = 0; y < rows; ++y, red += 4, green += 4, blue += 4, out += outStride) {
    for (int32_t x = 0; x < columns; ++x) {
      const uint16_t pixel = Pack565(red[x], green[x], blue[x]);
      out[x] = kByteSwapped ? SwapPixelBytes(pixel) : pixel;
    }
  }
}

}  // namespace compact_kernels_detail

struct CompactTransformKernels {
  static constexpr const char* kName = "compact";

  template <int kMode>
  static void Predict(const uint8_t* above, const uint8_t* left, uint8_t* block) {
    PredictIntra4x4<kMode, true>(BlockNeighbours{above, left}, block, 4);
  }
  static void Predict(int mode, const uint8_t* above, const uint8_t* left, uint8_t* block) {
    PredictIntra4x4<true>(mode, BlockNeighbours{above, left}, block, 4);
  }

  // As ReconstructBlock; `coefficients` may be changed.
  static void Reconstruct(uint8_t* block, BlockCoefficients& coefficients, CoefficientMask mask) {
    using namespace compact_kernels_detail;
    if (mask == 0) return;
    int32_t* const d = coefficients.data();
    d[0] += 32;
    if (mask == 1) {
      // Only the lowest coefficient: the same residual at every sample.
      const int32_t flat = d[0];
      for (int y = 0; y < 4; ++y) AddResidualRow(block + 4 * y, flat, flat, flat, flat);
      return;
    }
    TransformColumns(d, mask | 1);
    TransformRowsIntoBlock(d, block);
  }

  // The `columns` x `rows` top-left pixels of the block, as
  // PackRows565Plain; whole blocks as well.
  static void Pack(const uint8_t* red, const uint8_t* green, const uint8_t* blue, int32_t columns,
                   int32_t rows, uint16_t* out, ptrdiff_t outStride, bool byteSwapped) {
    using namespace compact_kernels_detail;
    if (byteSwapped) {
      PackBlock<true>(red, green, blue, columns, rows, out, outStride);
    } else {
      PackBlock<false>(red, green, blue, columns, rows, out, outStride);
    }
  }
  static void PackWhole(const uint8_t* red, const uint8_t* green, const uint8_t* blue,
                        uint16_t* out, ptrdiff_t outStride, bool byteSwapped) {
    Pack(red, green, blue, 4, 4, out, outStride, byteSwapped);
  }
};

}  // namespace vexo
