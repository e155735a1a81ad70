// The transform kernel set for 32-bit ARM cores without the two-lane
// instructions (ARMv4T, ARMv5TE, ARMv6-M, ARMv7-M): the reconstruction for
// 32-bit processors (reconstruction_arm.h) and the word-wide packing; the
// predictions are the plain ones.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

#include "arm/reconstruction_arm.h"
#include "transform/portable_transform_kernels.h"

namespace vexo {

struct ArmTransformKernels : WordTransformKernels {
  static constexpr const char* kName = "32-bit";
  static void Reconstruct(uint8_t* block, BlockCoefficients& coefficients, CoefficientMask mask) {
    ReconstructBlockArm(block, 4, coefficients, mask);
  }
};

}  // namespace vexo
