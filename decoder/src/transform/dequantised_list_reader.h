// Reading a coefficient list and dequantising it in one pass: each level goes
// straight to its coefficient as it is read.
#pragma once

#include "transform/dequantisation.h"
#include "transform/level_code.h"

namespace vexo {

// Reads one list from `bits` and, when it yields coefficients, writes all 16
// of `coefficients` (the levels placed as DequantiseList places them, zero
// elsewhere). Returns which coefficients were set, as DequantiseList does for
// the same list; `coefficients` is untouched when none were. kCheckedRefill
// as for ReadCoefficientList. `bits` is a BasicBitReader of either width.
template <bool kCheckedRefill, class BitReader>
inline CoefficientMask ReadDequantisedList(BitReader& __restrict bits, int escapeWidth,
                                           const DequantSteps& steps,
                                           BlockCoefficients& __restrict coefficients) {
  using namespace level_code_detail;
  // Past the scan for good: every later level is read and ignored.
  constexpr int kIgnoreRest = 2 * kCoefficientCount;
  const auto refill = [&bits] {
    if constexpr (kCheckedRefill) {
      if (bits.Count() < kMaxEntryBits) bits.Refill();
    } else {
      bits.RefillUnchecked();  // tops up without a branch the data decides
    }
  };
  refill();
  if (bits.Peek(1) == 1) {  // only end of block: the block is its prediction
    bits.Skip(1);
    return 0;
  }
  // The two never overlap (restrict): the reader's state may stay in
  // registers across the stores of coefficients.
  coefficients.fill(0);
  CoefficientMask mask = 0;
  int position = 0;
  for (int count = 0; count < kCoefficientCount; ++count) {
    refill();
    const EntryLookup& lookup = kEntryLookupTable[bits.Peek(kLookupBits)];
    bits.Skip(lookup.length);
    int32_t level = lookup.level;
    int run = lookup.run;
    if (lookup.kind != EntryKind::kLevel) {
      if (lookup.kind == EntryKind::kEndOfBlock) break;
      // A 32-bit reader's refill may hold less than a whole escaped entry:
      // the magnitude and the run get one more.
      if constexpr (BitReader::kRefillBits < kMaxEntryBits) refill();
      int32_t magnitude = 0;
      if (escapeWidth > 0) {
        magnitude = static_cast<int32_t>(bits.Peek(escapeWidth));
        bits.Skip(escapeWidth);
      }
      level *= magnitude;
      run = static_cast<int>(bits.Peek(kRunBits));
      bits.Skip(kRunBits);
      if (level == 0) position = kIgnoreRest;  // a level 0 ends dequantisation
    }
    position += run;
    if (position < kCoefficientCount) {
      const int index = ScanOrder[position];
      coefficients[index] = level * steps[position];
      mask |= CoefficientMask{1} << index;
      ++position;
    }
  }
  return mask;
}

}  // namespace vexo
