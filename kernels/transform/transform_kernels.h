// The transform path's kernels for the processor being built for, chosen at
// build time: the SSE2 variants (kernels/x86/) on x86-64, where SSE2 is the
// baseline and needs no run-time choice, the 32-bit reconstruction
// (kernels/arm/) on ARM, the plain ones everywhere else (with the word-wide
// packing on little-endian processors). The decoder calls only
// these; its blocks and plane rows start on 4-byte boundaries.
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

// The prediction of mode kMode into the block at `block`, its neighbours
// read in place at their linear offsets (as PlaneNeighbours reads them).
// Here and below `block` and `stride` are multiples of 4 bytes.
template <int kMode>
inline void PredictIntra4x4InPlace(uint8_t* block, ptrdiff_t stride) {
#if defined(__x86_64__)
  PredictIntra4x4Sse2<kMode>(block, stride);
#else
  PredictIntra4x4<kMode, true>(PlaneNeighbours{block, stride}, block, stride);
#endif
}

// As ReconstructBlock; `coefficients` may be changed.
inline void ReconstructBlockInPlace(uint8_t* block, ptrdiff_t stride,
                                    BlockCoefficients& coefficients, CoefficientMask mask) {
#if defined(__x86_64__)
  ReconstructBlockSse2(block, stride, coefficients, mask);
#elif defined(__arm__)
  ReconstructBlockArm(block, stride, coefficients, mask);
#else
  ReconstructBlock<true>(block, stride, coefficients, mask);
#endif
}

// As PackRows565Plain; the plane rows start on 4-byte boundaries.
inline void PackRows565(const uint8_t* red, const uint8_t* green, const uint8_t* blue,
                        ptrdiff_t planeStride, int32_t width, int32_t rows, uint16_t* out,
                        ptrdiff_t outStride, bool byteSwapped) {
#if defined(__x86_64__)
  PackRows565Sse2(red, green, blue, planeStride, width, rows, out, outStride, byteSwapped);
#else
  if constexpr (std::endian::native == std::endian::little) {
    PackRows565Words(red, green, blue, planeStride, width, rows, out, outStride, byteSwapped);
  } else {
    PackRows565Plain(red, green, blue, planeStride, width, rows, out, outStride, byteSwapped);
  }
#endif
}

}  // namespace vexo
