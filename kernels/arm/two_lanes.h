// ARM's two-lane instructions (ARMv6 and later in ARM or Thumb-2 state,
// ARMv7E-M: Cortex-M4, M7) that the two-lane kernels share: each works on
// the two 16-bit halves of a word, or on its four bytes, at once. Inline
// assembly without side effects, which the compiler may move and merge.
#pragma once

#include <cstdint>

namespace vexo::two_lanes {

// The low halves of `low` and of `high`, as the low and the high half
// (PKHBT).
inline uint32_t JoinLowHalves(uint32_t low, uint32_t high) {
  uint32_t joined;
  __asm__("pkhbt %0, %1, %2, lsl #16" : "=r"(joined) : "r"(low), "r"(high));
  return joined;
}

// The high halves of `low` and of `high`, as the low and the high half
// (PKHTB).
inline uint32_t JoinHighHalves(uint32_t low, uint32_t high) {
  uint32_t joined;
  __asm__("pkhtb %0, %1, %2, asr #16" : "=r"(joined) : "r"(high), "r"(low));
  return joined;
}

// The low half of `low` and the high half of `high` (PKHBT).
inline uint32_t LowAndHighHalves(uint32_t low, uint32_t high) {
  uint32_t joined;
  __asm__("pkhbt %0, %1, %2" : "=r"(joined) : "r"(low), "r"(high));
  return joined;
}

// Both halves with their two bytes exchanged (REV16).
inline uint32_t SwapHalfBytes(uint32_t pair) {
  uint32_t swapped;
  __asm__("rev16 %0, %1" : "=r"(swapped) : "r"(pair));
  return swapped;
}

// Bytes 0 and 2 as the low and the high half (UXTB16).
inline uint32_t EvenBytes(uint32_t bytes) {
  uint32_t halves;
  __asm__("uxtb16 %0, %1" : "=r"(halves) : "r"(bytes));
  return halves;
}

// Bytes 1 and 3 as the low and the high half (UXTB16 with a rotation).
inline uint32_t OddBytes(uint32_t bytes) {
  uint32_t halves;
  __asm__("uxtb16 %0, %1, ror #8" : "=r"(halves) : "r"(bytes));
  return halves;
}

// value >> 6 limited to -512 to 511 (SSAT with a shifted operand).
inline int32_t ShiftDown6Within10Bits(int32_t value) {
  int32_t limited;
  __asm__("ssat %0, #10, %1, asr #6" : "=r"(limited) : "r"(value) : "cc");
  return limited;
}

// Each signed half of `a` plus that of `b`, wrapping (SADD16; the GE flags
// it sets are read by nothing here).
inline uint32_t AddHalves(uint32_t a, uint32_t b) {
  uint32_t sum;
  __asm__("sadd16 %0, %1, %2" : "=r"(sum) : "r"(a), "r"(b));
  return sum;
}

// Each signed half limited to 0 to 255 (USAT16).
inline uint32_t HalvesToBytes(uint32_t halves) {
  uint32_t limited;
  __asm__("usat16 %0, #8, %1" : "=r"(limited) : "r"(halves) : "cc");
  return limited;
}

// Each byte of `a` and `b`: their sum halved, rounded down (UHADD8).
inline uint32_t HalvingAddBytes(uint32_t a, uint32_t b) {
  uint32_t mean;
  __asm__("uhadd8 %0, %1, %2" : "=r"(mean) : "r"(a), "r"(b));
  return mean;
}

// Each byte of `a` less that of `b`, halved and rounded down, as a signed
// byte (UHSUB8).
inline uint32_t HalvingSubtractBytes(uint32_t a, uint32_t b) {
  uint32_t half;
  __asm__("uhsub8 %0, %1, %2" : "=r"(half) : "r"(a), "r"(b));
  return half;
}

// Each byte of `a` less that of `b`, wrapping (USUB8; the GE flags it sets
// are read by nothing here).
inline uint32_t SubtractBytes(uint32_t a, uint32_t b) {
  uint32_t difference;
  __asm__("usub8 %0, %1, %2" : "=r"(difference) : "r"(a), "r"(b));
  return difference;
}

}  // namespace vexo::two_lanes
