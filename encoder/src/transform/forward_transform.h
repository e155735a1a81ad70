// The forward 4 x 4 transform matched to the decoder's inverse, and the
// quantiser that turns its output into levels.
#pragma once

#include <array>
#include <cstdint>

#include "transform/dequantisation.h"

namespace vexo {

// Residuals r[4 x y + x] to coefficients d[4 x row + column] such that the
// decoder's inverse transform, rounded by (r + 32) >> 6, gives back about r:
// the inverse is M d M^T with its halving butterflies, so d = 64 M^-1 r M^-T.
std::array<double, kCoefficientCount> ForwardTransform4x4(const std::array<int32_t, 16>& residual);

// Levels by scan position for the coefficients, with |level| at most
// maxLevel. `roundingOffset` below 0.5 leans small values towards 0, which
// costs little quality and saves bits.
std::array<int32_t, kCoefficientCount> QuantiseCoefficients(
    const std::array<double, kCoefficientCount>& coefficients, const DequantSteps& steps,
    int32_t maxLevel, double roundingOffset);

}  // namespace vexo
