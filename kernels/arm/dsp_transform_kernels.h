// The transform kernel set with ARM's two-lane instructions (ARMv7E-M:
// Cortex-M4, M7): the 32-bit set (arm_transform_kernels.h) with the
// filtering predictions four samples at a time, and the rows of residuals
// added and whole blocks packed two lanes at a time.
#pragma once

#include <cstddef>
#include <cstdint>

#include "arm/arm_transform_kernels.h"
#include "arm/intra_prediction_dsp.h"
#include "arm/pixel_packing_dsp.h"
#include "arm/reconstruction_dsp.h"

namespace vexo {

struct DspTransformKernels : ArmTransformKernels {
  static constexpr const char* kName = "two-lane";
  template <int kMode>
  static void Predict(const uint8_t* above, const uint8_t* left, uint8_t* block) {
    PredictIntra4x4Dsp<kMode>(above, left, block);
  }
  static void Reconstruct(uint8_t* block, BlockCoefficients& coefficients, CoefficientMask mask) {
    ReconstructBlockDsp(block, 4, coefficients, mask);
  }
  static void PackWhole(const uint8_t* red, const uint8_t* green, const uint8_t* blue,
                        uint16_t* out, ptrdiff_t outStride, bool byteSwapped) {
    PackBlock565Dsp(red, green, blue, out, outStride, byteSwapped);
  }
};

}  // namespace vexo
