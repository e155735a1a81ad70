// The code for a picture size the readers refuse.
#pragma once

#include <cstdint>

#include "vexo_header.h"
#include "vexo_result.h"

namespace vexo {

// A side above kVexoLargestSide + 1 is too large for any VEXO file; a side
// below 1 can only come from a damaged header.
inline ErrorCode SizeProblem(int64_t width, int64_t height) {
  const int64_t largest = kVexoLargestSide + 1;
  return width > largest || height > largest ? ErrorCode::kTooLarge : ErrorCode::kDamaged;
}

}  // namespace vexo
