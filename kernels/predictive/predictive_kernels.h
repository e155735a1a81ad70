// The predictive path's kernels as the decoder calls them: the code shifts
// (predictive/code_shift.h) of the set this build's processor choice names
// (kernel_choice.h). The decoder calls only these.
#pragma once

#include <cstdint>

#include "kernel_choice.h"

namespace vexo {

// As ShiftLeftByLowBytePlain.
inline uint32_t ShiftLeftByLowByte(uint32_t value, uint32_t amount) {
  return BuildKernels::CodeShift::ShiftLeft(value, amount);
}

// As ShiftRightByLowBytePlain.
inline uint32_t ShiftRightByLowByte(uint32_t value, uint32_t amount) {
  return BuildKernels::CodeShift::ShiftRight(value, amount);
}

// As JoinWindowPlain.
inline uint32_t JoinWindow(uint32_t first, uint32_t second, uint32_t offset) {
  return BuildKernels::CodeShift::JoinWindow(first, second, offset);
}

}  // namespace vexo
