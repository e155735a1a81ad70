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

// As ShiftLeftByLowBytePlain.
inline uint32_t ShiftLeftByLowByte(uint32_t value, uint32_t amount) {
#if VEXO_HAS_CODE_SHIFT_ARM
  return ShiftLeftByLowByteArm(value, amount);
#else
  return ShiftLeftByLowBytePlain(value, amount);
#endif
}

// As ShiftRightByLowBytePlain.
inline uint32_t ShiftRightByLowByte(uint32_t value, uint32_t amount) {
#if VEXO_HAS_CODE_SHIFT_ARM
  return ShiftRightByLowByteArm(value, amount);
#else
  return ShiftRightByLowBytePlain(value, amount);
#endif
}

// As JoinWindowPlain.
inline uint32_t JoinWindow(uint32_t first, uint32_t second, uint32_t offset) {
#if VEXO_HAS_CODE_SHIFT_ARM
  return JoinWindowArm(first, second, offset);
#else
  return JoinWindowPlain(first, second, offset);
#endif
}

}  // namespace vexo
