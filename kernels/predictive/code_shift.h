// Shifts by an amount taken from the low byte of a register whose other bits
// are other fields, as ARM's shifter takes them: a low byte of 32 or more
// shifts everything out. The predictive path's 32-bit bit reader shifts codes
// out by their table entries and its window by an offset that carries a raw
// code's trace above its low byte. The plain forms, the reference of the
// processor variants (kernels/arm/code_shift_*.h), each a set of the same
// three functions.
#pragma once

#include <cstdint>

namespace vexo {

constexpr uint32_t ShiftLeftByLowBytePlain(uint32_t value, uint32_t amount) {
  amount &= 0xFF;
  return amount < 32 ? value << amount : 0;
}

constexpr uint32_t ShiftRightByLowBytePlain(uint32_t value, uint32_t amount) {
  amount &= 0xFF;
  return amount < 32 ? value >> amount : 0;
}

// The 32 bits from bit `offset` (its low byte, 0..31, counted from the top)
// of the 64 bits `first` then `second`.
constexpr uint32_t JoinWindowPlain(uint32_t first, uint32_t second, uint32_t offset) {
  return ShiftLeftByLowBytePlain(first, offset) | ShiftRightByLowBytePlain(second, 32 - offset);
}

struct CodeShiftPlain {
  static constexpr const char* kName = "plain";
  static uint32_t ShiftLeft(uint32_t value, uint32_t amount) {
    return ShiftLeftByLowBytePlain(value, amount);
  }
  static uint32_t ShiftRight(uint32_t value, uint32_t amount) {
    return ShiftRightByLowBytePlain(value, amount);
  }
  static uint32_t JoinWindow(uint32_t first, uint32_t second, uint32_t offset) {
    return JoinWindowPlain(first, second, offset);
  }
};

}  // namespace vexo
