// ShiftOutCodePlain in one instruction: ARM's shifter takes a register shift
// amount from the register's low byte, in ARM and in Thumb state, so the
// table entry itself is the shift amount.
#pragma once

#include <cstdint>

namespace vexo {

inline uint32_t ShiftOutCodeArm(uint32_t accumulator, uint32_t entry) {
#if defined(__thumb__) && !defined(__thumb2__)
  // Thumb-1 has only the flag-setting form on low registers. GCC hands
  // inline assembly to the assembler in divided syntax, where its name has
  // no "s", and switches back to unified syntax after it; clang's is unified
  // throughout, so the statement names its syntax.
  __asm__(".syntax unified\n\tlsls %0, %0, %1" : "+l"(accumulator) : "l"(entry) : "cc");
#else
  // The same text in divided and in unified syntax.
  __asm__("mov %0, %0, lsl %1" : "+r"(accumulator) : "r"(entry));
#endif
  return accumulator;
}

}  // namespace vexo
