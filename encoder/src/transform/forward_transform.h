// The forward 4 x 4 transform matched to the decoder's inverse, and the
// quantiser that turns its output into levels.
#pragma once

#include <array>
#include <cstdint>

#include "transform/dequantisation.h"

namespace vexo {

// The decoder's inverse is M d M^T with its halving butterflies, where the
// columns of M have squared norms 4, 2.5, 4, 2.5; so d = 64 M^-1 r M^-T gives
// back about r after the rounding (r + 32) >> 6. The forward transform keeps
// to integers: it returns c with d[i] = 64 c[i] / kForwardDivisors[i].
inline constexpr std::array<int32_t, kCoefficientCount> kForwardDivisors = {
    16, 20, 16, 20, 20, 25, 20, 25, 16, 20, 16, 20, 20, 25, 20, 25};

namespace detail {
// 4 M^-1 and 5 M^-1 on one dimension.
inline void Forward4(const int32_t* in, int32_t* out, int stride) {
  const int32_t sum = in[0] + in[3 * stride];
  const int32_t difference = in[0] - in[3 * stride];
  const int32_t innerSum = in[stride] + in[2 * stride];
  const int32_t innerDifference = in[stride] - in[2 * stride];
  out[0] = sum + innerSum;
  out[stride] = 2 * difference + innerDifference;
  out[2 * stride] = sum - innerSum;
  out[3 * stride] = difference - 2 * innerDifference;
}
}  // namespace detail

// Residuals r[4 x y + x] to c[4 x row + column] as above.
inline std::array<int32_t, kCoefficientCount> ForwardTransform4x4(
    const std::array<int32_t, 16>& residual) {
  std::array<int32_t, 16> columns;
  for (int x = 0; x < 4; ++x) detail::Forward4(&residual[x], &columns[x], 4);
  std::array<int32_t, kCoefficientCount> c;
  for (int row = 0; row < 4; ++row) detail::Forward4(&columns[4 * row], &c[4 * row], 1);
  return c;
}

// Levels by scan position for the coefficients, with |level| at most
// maxLevel. `roundingOffset` below 0.5 leans small values towards 0, which
// costs little quality and saves bits.
std::array<int32_t, kCoefficientCount> QuantiseCoefficients(
    const std::array<int32_t, kCoefficientCount>& coefficients, const DequantSteps& steps,
    int32_t maxLevel, double roundingOffset);

}  // namespace vexo
