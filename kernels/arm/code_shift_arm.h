// ShiftLeftByLowBytePlain and ShiftRightByLowBytePlain in one instruction
// each, and JoinWindowPlain in a few: ARM's shifter takes a register shift
// amount from the register's low byte, and a low byte of 32 or more shifts
// everything out, in ARM, Thumb-1 and Thumb-2 state alike. What differs is
// the instructions that take such an amount:
//  - ARM state: the shifted operand of every data-processing instruction,
//    so the window's second shift goes inside its OR;
//  - Thumb-2 (ARMv7-M and later): LSL and LSR with a register amount (not
//    the shifted operand, which there takes constants only), on any
//    register but SP and PC, with or without setting the flags;
//  - Thumb-1 (ARMv4T, ARMv6-M): the flag-setting LSLS and LSRS on low
//    registers only.
#pragma once

#include <cstdint>

namespace vexo {

#if defined(__thumb2__)
// GCC and clang hand Thumb-2 inline assembly to the assembler in unified
// syntax, where LSL without an "s" leaves the flags alone.
inline uint32_t ShiftLeftByLowByteArm(uint32_t value, uint32_t amount) {
  uint32_t result;
  __asm__("lsl %0, %1, %2" : "=r"(result) : "r"(value), "r"(amount));
  return result;
}

inline uint32_t ShiftRightByLowByteArm(uint32_t value, uint32_t amount) {
  uint32_t result;
  __asm__("lsr %0, %1, %2" : "=r"(result) : "r"(value), "r"(amount));
  return result;
}
#elif defined(__thumb__)
// Thumb-1 has only the flag-setting forms on low registers. GCC hands inline
// assembly to the assembler in divided syntax, where their names have no
// "s", and switches back to unified syntax after it; clang's is unified
// throughout, so each statement names its syntax.
inline uint32_t ShiftLeftByLowByteArm(uint32_t value, uint32_t amount) {
  __asm__(".syntax unified\n\tlsls %0, %0, %1" : "+l"(value) : "l"(amount) : "cc");
  return value;
}

inline uint32_t ShiftRightByLowByteArm(uint32_t value, uint32_t amount) {
  __asm__(".syntax unified\n\tlsrs %0, %0, %1" : "+l"(value) : "l"(amount) : "cc");
  return value;
}
#else
// The same text in divided and in unified syntax.
inline uint32_t ShiftLeftByLowByteArm(uint32_t value, uint32_t amount) {
  uint32_t result;
  __asm__("mov %0, %1, lsl %2" : "=r"(result) : "r"(value), "r"(amount));
  return result;
}

inline uint32_t ShiftRightByLowByteArm(uint32_t value, uint32_t amount) {
  uint32_t result;
  __asm__("mov %0, %1, lsr %2" : "=r"(result) : "r"(value), "r"(amount));
  return result;
}
#endif

#if defined(__thumb__)
// No Thumb instruction ORs a register shifted by a register: two shifts and
// an OR the compiler may schedule.
inline uint32_t JoinWindowArm(uint32_t first, uint32_t second, uint32_t offset) {
  return ShiftLeftByLowByteArm(first, offset) | ShiftRightByLowByteArm(second, 32 - offset);
}
#else
// JoinWindowPlain with the second shift in the OR.
inline uint32_t JoinWindowArm(uint32_t first, uint32_t second, uint32_t offset) {
  uint32_t window;
  __asm__("mov %0, %1, lsl %2\n\torr %0, %0, %3, lsr %4"
          : "=&r"(window)
          : "r"(first), "r"(offset), "r"(second), "r"(32 - offset));
  return window;
}
#endif

}  // namespace vexo
