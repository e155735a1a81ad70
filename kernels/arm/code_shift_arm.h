// ShiftLeftByLowBytePlain and ShiftRightByLowBytePlain in one instruction
// each, and JoinWindowPlain in two in ARM state: ARM's shifter takes a
// register shift amount from the register's low byte, in ARM and in Thumb
// state.
#pragma once

#include <cstdint>

namespace vexo {

#if defined(__thumb__) && !defined(__thumb2__)
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

// JoinWindowPlain with the second shift in the OR.
inline uint32_t JoinWindowArm(uint32_t first, uint32_t second, uint32_t offset) {
  uint32_t window;
  __asm__("mov %0, %1, lsl %2\n\torr %0, %0, %3, lsr %4"
          : "=&r"(window)
          : "r"(first), "r"(offset), "r"(second), "r"(32 - offset));
  return window;
}
#endif

#if defined(__thumb__) && !defined(__thumb2__)
inline uint32_t JoinWindowArm(uint32_t first, uint32_t second, uint32_t offset) {
  return ShiftLeftByLowByteArm(first, offset) | ShiftRightByLowByteArm(second, 32 - offset);
}
#endif

}  // namespace vexo
