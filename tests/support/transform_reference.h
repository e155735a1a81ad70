// A plain decoder of transform pictures written straight from the format's
// rules, one bit and one sample at a time, with nothing shared with the
// library's kernels but the constant tables. The optimised decoder must
// match it on every stream.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "vexo_status.h"

namespace vexo::testing {

struct ReferenceDecode {
  VexoStatus status;
  int32_t result;
  std::vector<uint16_t> pixels;  // width x height when the decode succeeded
};

ReferenceDecode ReferenceDecodeTransform(const std::vector<uint8_t>& file);

// Sample (x, y) of the prediction of `mode`, from T[-1..7] (above[0..8]) and
// L[0..3], by the per-sample rule of each mode.
int ReferencePredictSample(int mode, const std::array<int, 9>& above,
                           const std::array<int, 4>& left, int x, int y);

// The residual of a 4 x 4 coefficient array d[row][column], columns first.
std::array<std::array<int32_t, 4>, 4> ReferenceInverseTransform(
    std::array<std::array<int32_t, 4>, 4> d);

}  // namespace vexo::testing
