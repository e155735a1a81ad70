// The transform path's kernels as the decoder calls them, on a block decoded
// apart from its planes: 16 samples of a colour in a row (rows 4 samples
// apart, on a 4-byte boundary), predicted from BlockNeighbours, rebuilt in
// place and packed into the picture's rows.
//
// Two sets: the plain one (the reference, and the small policy's), and the
// one for the processor being built for, chosen at build time: the SSE2
// variants (kernels/x86/) on x86-64, where SSE2 is the baseline and needs no
// run-time choice, the 32-bit reconstruction (kernels/arm/) on ARM, the
// plain ones everywhere else (with the word-wide packing on little-endian
// processors).
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

#include "transform/dequantisation.h"
#include "transform/intra_prediction.h"
#include "transform/inverse_transform.h"
#include "transform/pixel_packing.h"

#if defined(__x86_64__)
#include "x86/intra_prediction_sse2.h"
#include "x86/pixel_packing_sse2.h"
#include "x86/reconstruction_sse2.h"
#elif defined(__arm__)
#include "arm/reconstruction_arm.h"
#endif

namespace vexo {

struct PlainTransformKernels {
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

struct ProcessorTransformKernels {
  template <int kMode>
  static void Predict(const uint8_t* above, const uint8_t* left, uint8_t* block) {
#if defined(__x86_64__)
    PredictIntra4x4Sse2<kMode>(above, left, block);
#else
    PlainTransformKernels::Predict<kMode>(above, left, block);
#endif
  }
  static void Reconstruct(uint8_t* block, BlockCoefficients& coefficients, CoefficientMask mask) {
#if defined(__x86_64__)
    ReconstructBlockSse2(block, coefficients, mask);
#elif defined(__arm__)
    ReconstructBlockArm(block, 4, coefficients, mask);
#else
    PlainTransformKernels::Reconstruct(block, coefficients, mask);
#endif
  }
  static void Pack(const uint8_t* red, const uint8_t* green, const uint8_t* blue, int32_t columns,
                   int32_t rows, uint16_t* out, ptrdiff_t outStride, bool byteSwapped) {
#if defined(__x86_64__)
    if (columns == 4 && rows == 4) return PackWhole(red, green, blue, out, outStride, byteSwapped);
#endif
    if constexpr (std::endian::native == std::endian::little) {
      PackRows565Words(red, green, blue, 4, columns, rows, out, outStride, byteSwapped);
    } else {
      PlainTransformKernels::Pack(red, green, blue, columns, rows, out, outStride, byteSwapped);
    }
  }
  static void PackWhole(const uint8_t* red, const uint8_t* green, const uint8_t* blue,
                        uint16_t* out, ptrdiff_t outStride, bool byteSwapped) {
#if defined(__x86_64__)
    PackBlock565Sse2(red, green, blue, out, outStride, byteSwapped);
#else
    if constexpr (std::endian::native == std::endian::little) {
      PackBlock565Words(red, green, blue, out, outStride, byteSwapped);
    } else {
      PlainTransformKernels::PackWhole(red, green, blue, out, outStride, byteSwapped);
    }
#endif
  }
};

}  // namespace vexo
