// Transform kernel sets in portable C++. A set is what the decoder calls on
// a block decoded apart from its planes: 16 samples of a colour in a row
// (rows 4 samples apart, on a 4-byte boundary), predicted from
// BlockNeighbours, rebuilt in place and packed into the picture's rows.
// Every processor's set (kernels/arm/, kernels/x86/) has the same static
// functions and gives exactly what the plain one gives.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

#include "transform/dequantisation.h"
#include "transform/intra_prediction.h"
#include "transform/inverse_transform.h"
#include "transform/pixel_packing.h"

namespace vexo {

// The reference, and the small policy's set.
struct PlainTransformKernels {
  static constexpr const char* kName = "plain";
  template <int kMode>
  static void Predict(const uint8_t* above, const uint8_t* left, uint8_t* block) {
    PredictIntra4x4<kMode, true>(BlockNeighbours{above, left}, block, 4);
  }
  static void Predict(int mode, const uint8_t* above, const uint8_t* left, uint8_t* block) {
    PredictIntra4x4<true>(mode, BlockNeighbours{above, left}, block, 4);
  }
  // As ReconstructBlock; `coefficients` may be changed.
  static void Reconstruct(uint8_t* block, BlockCoefficients& coefficients, CoefficientMask mask) {
    ReconstructBlock<true>(block, 4, coefficients, mask);
  }
  // The `columns` x `rows` top-left pixels of the block, as PackRows565Plain.
  static void Pack(const uint8_t* red, const uint8_t* green, const uint8_t* blue, int32_t columns,
                   int32_t rows, uint16_t* out, ptrdiff_t outStride, bool byteSwapped) {
    PackRows565Plain(red, green, blue, 4, columns, rows, out, outStride, byteSwapped);
  }
  // The whole block, into output rows that start on 4-byte boundaries.
  static void PackWhole(const uint8_t* red, const uint8_t* green, const uint8_t* blue,
                        uint16_t* out, ptrdiff_t outStride, bool byteSwapped) {
    Pack(red, green, blue, 4, 4, out, outStride, byteSwapped);
  }
};

// The plain set with the word-wide packing, for processors that store words
// little-endian.
struct WordTransformKernels : PlainTransformKernels {
  static constexpr const char* kName = "words";
  static_assert(std::endian::native == std::endian::little);
  static void Pack(const uint8_t* red, const uint8_t* green, const uint8_t* blue, int32_t columns,
                   int32_t rows, uint16_t* out, ptrdiff_t outStride, bool byteSwapped) {
    PackRows565Words(red, green, blue, 4, columns, rows, out, outStride, byteSwapped);
  }
  static void PackWhole(const uint8_t* red, const uint8_t* green, const uint8_t* blue,
                        uint16_t* out, ptrdiff_t outStride, bool byteSwapped) {
    PackBlock565Words(red, green, blue, out, outStride, byteSwapped);
  }
};

}  // namespace vexo
