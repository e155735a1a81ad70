// ShiftOutCodePlain in one instruction: ARM's shifter takes a register shift
// amount from the register's low byte, in ARM and in Thumb state, so the
// table entry itself is the shift amount.
#pragma once

#include <cstdint>

namespace vexo {

inline uint32_t ShiftOutCodeArm(uint32_t accumulator, uint32_t entry) {
#if defined(__thumb__) && !defined(__thumb2__)
  // Thumb-1 has only the two-operand, flag-setting form on low registers.
  __asm__("lsls %0, %1" : "+l"(accumulator) : "l"(entry) : "cc");
#else
  __asm__("lsl %0, %0, %1" : "+r"(accumulator) : "r"(entry));
#endif
  return accumulator;
}

}  // namespace vexo
