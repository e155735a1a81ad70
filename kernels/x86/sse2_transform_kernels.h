// The transform kernel set with SSE2, the x86-64 baseline, so chosen at
// build time: the filtering predictions, the reconstruction and the packing
// of whole blocks in vectors; a block clipped at the picture's edge is
// packed a word at a time.
#pragma once

#include <cstddef>
#include <cstdint>

#include "transform/portable_transform_kernels.h"
#include "x86/intra_prediction_sse2.h"
#include "x86/pixel_packing_sse2.h"
#include "x86/reconstruction_sse2.h"

namespace vexo {

struct Sse2TransformKernels : WordTransformKernels {
  static constexpr const char* kName = "SSE2";
  template <int kMode>
  static void Predict(const uint8_t* above, const uint8_t* left, uint8_t* block) {
    PredictIntra4x4Sse2<kMode>(above, left, block);
  }
  static void Reconstruct(uint8_t* block, BlockCoefficients& coefficients, CoefficientMask mask) {
    ReconstructBlockSse2(block, coefficients, mask);
  }
  static void Pack(const uint8_t* red, const uint8_t* green, const uint8_t* blue, int32_t columns,
                   int32_t rows, uint16_t* out, ptrdiff_t outStride, bool byteSwapped) {
    if (columns == 4 && rows == 4) return PackWhole(red, green, blue, out, outStride, byteSwapped);
    WordTransformKernels::Pack(red, green, blue, columns, rows, out, outStride, byteSwapped);
  }
  static void PackWhole(const uint8_t* red, const uint8_t* green, const uint8_t* blue,
                        uint16_t* out, ptrdiff_t outStride, bool byteSwapped) {
    PackBlock565Sse2(red, green, blue, out, outStride, byteSwapped);
  }
};

}  // namespace vexo
