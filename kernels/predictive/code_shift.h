// Shifting a pixel code out of a left-aligned 32-bit bit accumulator by the
// length its table entry holds in the low byte, the rest of the entry being
// other fields. The plain form, the reference of the processor variants.
#pragma once

#include <cstdint>

namespace vexo {

// `entry`'s low byte is a length from 0 to 31; its other bits are ignored.
constexpr uint32_t ShiftOutCodePlain(uint32_t accumulator, uint32_t entry) {
  return accumulator << (entry & 31);
}

}  // namespace vexo
