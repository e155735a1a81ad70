#include "transform/forward_transform.h"

#include <algorithm>
#include <cmath>

#include "transform/quality_tables.h"

namespace vexo {

std::array<int32_t, kCoefficientCount> QuantiseCoefficients(
    const std::array<int32_t, kCoefficientCount>& coefficients, const DequantSteps& steps,
    int32_t maxLevel, double roundingOffset) {
  std::array<int32_t, kCoefficientCount> levels{};
  for (int p = 0; p < kCoefficientCount; ++p) {
    const int index = ScanOrder[p];
    const double value = 64.0 * coefficients[index] / (kForwardDivisors[index] * steps[p]);
    const auto magnitude = static_cast<int32_t>(std::floor(std::abs(value) + roundingOffset));
    levels[p] = (value < 0 ? -1 : 1) * std::min(magnitude, maxLevel);
  }
  return levels;
}

}  // namespace vexo
