// The code shifts (predictive/code_shift.h) in Thumb-1 (ARMv4T and ARMv5TE
// in Thumb state, ARMv6-M: the ARM7TDMI, Cortex-M0 and M0+), whose only
// register shifts are the flag-setting LSLS and LSRS on low registers: they
// take the amount from the register's low byte, and a low byte of 32 or more
// shifts everything out, as the plain forms do. Thumb-2 cores run them too.
#pragma once

#include <cstdint>

namespace vexo {

// GCC hands Thumb-1 inline assembly to the assembler in divided syntax,
// where these instructions' names have no "s", and switches back to unified
// syntax after it; clang's is unified throughout, so each statement names
// its syntax.
struct CodeShiftThumb1 {
  static constexpr const char* kName = "Thumb-1";
  static uint32_t ShiftLeft(uint32_t value, uint32_t amount) {
    __asm__(".syntax unified\n\tlsls %0, %0, %1" : "+l"(value) : "l"(amount) : "cc");
    return value;
  }

  static uint32_t ShiftRight(uint32_t value, uint32_t amount) {
    __asm__(".syntax unified\n\tlsrs %0, %0, %1" : "+l"(value) : "l"(amount) : "cc");
    return value;
  }

  // No Thumb instruction ORs a register shifted by a register: two shifts
  // and an OR the compiler may schedule.
  static uint32_t JoinWindow(uint32_t first, uint32_t second, uint32_t offset) {
    return ShiftLeft(first, offset) | ShiftRight(second, 32 - offset);
  }
};

}  // namespace vexo
