#include "transform/forward_transform.h"

#include <algorithm>
#include <cmath>

#include "transform/quality_tables.h"

namespace vexo {
namespace {

// One dimension of the decoder's inverse is out = M in with orthogonal
// columns of squared norms 4, 2.5, 4, 2.5, so its inverse is M^T divided by
// those norms.
template <typename T>
void Forward4(T a, T b, T c, T d, double* out, int stride) {
  out[0] = (a + b + c + d) / 4.0;
  out[stride] = (a - d + 0.5 * (b - c)) / 2.5;
  out[2 * stride] = (a - b - c + d) / 4.0;
  out[3 * stride] = (0.5 * (a - d) - b + c) / 2.5;
}

}  // namespace

std::array<double, kCoefficientCount> ForwardTransform4x4(const std::array<int32_t, 16>& residual) {
  // Columns (over y) to rows of t, then the rows of t (over x), scaled by 64.
  double t[16];
  for (int x = 0; x < 4; ++x) {
    Forward4(residual[x], residual[4 + x], residual[8 + x], residual[12 + x], &t[x], 4);
  }
  std::array<double, kCoefficientCount> d{};
  for (int row = 0; row < 4; ++row) {
    const double* r = &t[4 * row];
    Forward4(r[0] * 64, r[1] * 64, r[2] * 64, r[3] * 64, &d[4 * row], 1);
  }
  return d;
}

std::array<int32_t, kCoefficientCount> QuantiseCoefficients(
    const std::array<double, kCoefficientCount>& coefficients, const DequantSteps& steps,
    int32_t maxLevel, double roundingOffset) {
  std::array<int32_t, kCoefficientCount> levels{};
  for (int p = 0; p < kCoefficientCount; ++p) {
    const double value = coefficients[ScanOrder[p]] / steps[p];
    const auto magnitude = static_cast<int32_t>(std::floor(std::abs(value) + roundingOffset));
    levels[p] = (value < 0 ? -1 : 1) * std::min(magnitude, maxLevel);
  }
  return levels;
}

}  // namespace vexo
