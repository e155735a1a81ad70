// Dequantisation of one coefficient list into the 16 coefficients of a block.
// Shared by the decoder and the encoder.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>

#include "transform/level_code.h"
#include "transform/quality_tables.h"

namespace vexo {

// Coefficients by index 4 x row + column; row is the vertical frequency.
using BlockCoefficients = std::array<int32_t, kCoefficientCount>;

// The step of each scan position for one picture: its scale shifted left by
// quantShift, so that a coefficient is level x step.
using DequantSteps = std::array<int32_t, kCoefficientCount>;

constexpr DequantSteps MakeDequantSteps(const TransformQuality& quality) {
  DequantSteps steps{};
  for (int p = 0; p < kCoefficientCount; ++p) {
    steps[p] = LevelScaleTable[quality.scaleRow][p] * (int32_t{1} << quality.quantShift);
  }
  return steps;
}

// Sets all 16 coefficients to 0 with stores in line, four a step: compilers
// turn fill(0) into a call to memset on small processors, which costs them
// several times as much.
inline void ClearCoefficients(BlockCoefficients& coefficients) {
  for (int i = 0; i < kCoefficientCount; i += 4) {
    coefficients[i] = 0;
    coefficients[i + 1] = 0;
    coefficients[i + 2] = 0;
    coefficients[i + 3] = 0;
  }
}

// Bit i set: coefficient index i is non-zero. 0 means the block is its
// prediction; 1 means only the lowest-frequency coefficient is set.
using CoefficientMask = uint32_t;

// Places the list's levels along the scan. Dequantisation of the list ends at
// its first level 0, and at an entry whose run would carry the scan position
// past 15 (that entry and every later one are ignored). Returns which
// coefficients were set; `coefficients` is written only when some are.
inline CoefficientMask DequantiseList(const CoefficientList& list, const DequantSteps& steps,
                                      BlockCoefficients& coefficients) {
  if (list.StartsWithZero()) return 0;
  coefficients.fill(0);
  CoefficientMask mask = 0;
  int position = 0;
  for (int k = 0; k < list.count; ++k) {
    const LevelRun& entry = list.entries[k];
    if (entry.level == 0) break;
    position += entry.run;
    if (position >= kCoefficientCount) break;
    const int index = ScanOrder[position];
    coefficients[index] = entry.level * steps[position];
    mask |= CoefficientMask{1} << index;
    ++position;
  }
  return mask;
}

}  // namespace vexo
