// The predictive path's kernels for the processor being built for, chosen
// at build time: the ARM variants (kernels/arm/) on ARM, the plain ones
// everywhere else. The decoder calls only these.
#pragma once

#include <cstdint>

#include "predictive/code_shift.h"

#if defined(__arm__)
#include "arm/code_shift_arm.h"
#define VEXO_HAS_CODE_SHIFT_ARM 1
#else
#define VEXO_HAS_CODE_SHIFT_ARM 0
#endif

namespace vexo {

// As ShiftOutCodePlain.
inline uint32_t ShiftOutCode(uint32_t accumulator, uint32_t entry) {
#if VEXO_HAS_CODE_SHIFT_ARM
  return ShiftOutCodeArm(accumulator, entry);
#else
  return ShiftOutCodePlain(accumulator, entry);
#endif
}

}  // namespace vexo
