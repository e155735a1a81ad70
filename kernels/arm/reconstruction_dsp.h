// The reconstruction for 32-bit processors (reconstruction_arm.h) with ARM's
// two-lane instructions (ARMv7E-M: Cortex-M4, M7) adding each row of
// residuals to its prediction: samples 0 and 2, and 1 and 3, each pair in
// the 16-bit halves of a word, added and limited to 0 to 255 at once, with
// no branch. Gives exactly what ReconstructBlock gives.
#pragma once

#include <cstddef>
#include <cstdint>

#include "arm/reconstruction_arm.h"
#include "arm/two_lanes.h"
#include "transform/dequantisation.h"
#include "transform/sample_rows.h"

namespace vexo {
namespace reconstruction_dsp_detail {

// As reconstruction_arm_detail::AddResiduals. A residual limited to 10 bits
// clamps every sample as it would whole, and a prediction plus it fits a
// half.
inline SampleRow AddResiduals(SampleRow pred, int32_t r0, int32_t r1, int32_t r2, int32_t r3) {
  using namespace two_lanes;
  const uint32_t even = JoinLowHalves(static_cast<uint32_t>(ShiftDown6Within10Bits(r0)),
                                      static_cast<uint32_t>(ShiftDown6Within10Bits(r2)));
  const uint32_t odd = JoinLowHalves(static_cast<uint32_t>(ShiftDown6Within10Bits(r1)),
                                     static_cast<uint32_t>(ShiftDown6Within10Bits(r3)));
  return HalvesToBytes(AddHalves(EvenBytes(pred), even)) |
         HalvesToBytes(AddHalves(OddBytes(pred), odd)) << 8;
}

}  // namespace reconstruction_dsp_detail

// As ReconstructBlock; `coefficients` may be changed. The block's rows must
// start on 4-byte boundaries.
inline void ReconstructBlockDsp(uint8_t* block, ptrdiff_t stride, BlockCoefficients& coefficients,
                                CoefficientMask mask) {
  ReconstructBlockArm<reconstruction_dsp_detail::AddResiduals>(block, stride, coefficients, mask);
}

}  // namespace vexo
