// The code shifts (predictive/code_shift.h) in Thumb-2 (ARMv7-M and
// ARMv7E-M: Cortex-M3, M4, M7): LSL and LSR with a register amount take it
// from the register's low byte, and a low byte of 32 or more shifts
// everything out, as the plain forms do. They work on any register but SP
// and PC, with or without setting the flags; the shifted operand of the
// other instructions takes constants only, so the window is two shifts and
// an OR the compiler may schedule.
#pragma once

#include <cstdint>

namespace vexo {

// GCC and clang hand Thumb-2 inline assembly to the assembler in unified
// syntax, where LSL without an "s" leaves the flags alone.
struct CodeShiftThumb2 {
  static constexpr const char* kName = "Thumb-2";
  static uint32_t ShiftLeft(uint32_t value, uint32_t amount) {
    uint32_t result;
    __asm__("lsl %0, %1, %2" : "=r"(result) : "r"(value), "r"(amount));
    return result;
  }

  static uint32_t ShiftRight(uint32_t value, uint32_t amount) {
    uint32_t result;
    __asm__("lsr %0, %1, %2" : "=r"(result) : "r"(value), "r"(amount));
    return result;
  }

  static uint32_t JoinWindow(uint32_t first, uint32_t second, uint32_t offset) {
    return ShiftLeft(first, offset) | ShiftRight(second, 32 - offset);
  }
};

}  // namespace vexo
