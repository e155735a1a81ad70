#include "transform/forward_transform.h"

#include <algorithm>
#include <cmath>

#include "transform/quality_tables.h"

namespace vexo {
namespace {

using Matrix = std::array<std::array<double, 4>, 4>;

// The one-dimensional inverse of the decoder, without its integer halving:
// out = M in.
constexpr Matrix kInverseBasis = {
    {{1, 1, 1, 0.5}, {1, 0.5, -1, -1}, {1, -0.5, -1, 1}, {1, -1, 1, -0.5}}};

Matrix Inverted(Matrix m) {
  Matrix inverse{};
  for (int i = 0; i < 4; ++i) inverse[i][i] = 1;
  for (int column = 0; column < 4; ++column) {
    int pivot = column;
    for (int row = column + 1; row < 4; ++row) {
      if (std::abs(m[row][column]) > std::abs(m[pivot][column])) pivot = row;
    }
    std::swap(m[column], m[pivot]);
    std::swap(inverse[column], inverse[pivot]);
    const double scale = m[column][column];
    for (int k = 0; k < 4; ++k) {
      m[column][k] /= scale;
      inverse[column][k] /= scale;
    }
    for (int row = 0; row < 4; ++row) {
      if (row == column) continue;
      const double factor = m[row][column];
      for (int k = 0; k < 4; ++k) {
        m[row][k] -= factor * m[column][k];
        inverse[row][k] -= factor * inverse[column][k];
      }
    }
  }
  return inverse;
}

const Matrix& ForwardBasis() {
  static const Matrix forward = Inverted(kInverseBasis);
  return forward;
}

}  // namespace

std::array<double, kCoefficientCount> ForwardTransform4x4(const std::array<int32_t, 16>& residual) {
  const Matrix& f = ForwardBasis();
  // t = F r (columns), then d = t F^T (rows), scaled by 64.
  double t[4][4] = {};
  for (int row = 0; row < 4; ++row) {
    for (int x = 0; x < 4; ++x) {
      for (int y = 0; y < 4; ++y) t[row][x] += f[row][y] * residual[4 * y + x];
    }
  }
  std::array<double, kCoefficientCount> d{};
  for (int row = 0; row < 4; ++row) {
    for (int column = 0; column < 4; ++column) {
      double sum = 0;
      for (int x = 0; x < 4; ++x) sum += t[row][x] * f[column][x];
      d[4 * row + column] = 64 * sum;
    }
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
