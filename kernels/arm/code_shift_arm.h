// The code shifts (predictive/code_shift.h) in ARM state (ARMv4T, ARMv5TE
// and later): ARM's shifter takes a register shift amount from the
// register's low byte, and a low byte of 32 or more shifts everything out,
// as the plain forms do. Every data-processing instruction takes such a
// shifted operand, so each shift is one instruction and the window's second
// shift goes inside its OR.
#pragma once

#include <cstdint>

namespace vexo {

// The same text in divided and in unified syntax.
struct CodeShiftArm {
  static constexpr const char* kName = "ARM";
  static uint32_t ShiftLeft(uint32_t value, uint32_t amount) {
    uint32_t result;
    __asm__("mov %0, %1, lsl %2" : "=r"(result) : "r"(value), "r"(amount));
    return result;
  }

  static uint32_t ShiftRight(uint32_t value, uint32_t amount) {
    uint32_t result;
    __asm__("mov %0, %1, lsr %2" : "=r"(result) : "r"(value), "r"(amount));
    return result;
  }

  static uint32_t JoinWindow(uint32_t first, uint32_t second, uint32_t offset) {
    uint32_t window;
    __asm__("mov %0, %1, lsl %2\n\torr %0, %0, %3, lsr %4"
            : "=&r"(window)
            : "r"(first), "r"(offset), "r"(second), "r"(32 - offset));
    return window;
  }
};

}  // namespace vexo
