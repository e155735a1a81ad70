// Reading a coefficient list and dequantising it in one pass: each level goes
// straight to its coefficient as it is read.
#pragma once

#include "transform/dequantisation.h"
#include "transform/level_code.h"

namespace vexo {

namespace dequantised_list_detail {

// The list reading itself; see ReadDequantisedList.
template <bool kCheckedRefill, class BitReader>
inline CoefficientMask ReadList(BitReader& __restrict bits, int escapeWidth,
                                const DequantSteps& steps,
                                BlockCoefficients& __restrict coefficients) {
  using namespace level_code_detail;
  // Past the scan for good: every later level is read and ignored.
  constexpr int kIgnoreRest = 2 * kCoefficientCount;
  // A 64-bit reader tops up to a whole entry of any kind before each entry,
  // unchecked without a branch the data decides. A 32-bit one holds less,
  // but mostly enough for a few short entries: it tops up only when the
  // look-up (or an escape's magnitude and run) would want more.
  constexpr bool kWide = BitReader::kWordBits >= 64;
  const auto refillFor = [&bits](int wanted) {
    if constexpr (!kCheckedRefill && kWide) {
      bits.RefillUnchecked();
    } else if (bits.Count() < wanted) {
      if constexpr (kCheckedRefill) {
        bits.Refill();
      } else {
        bits.RefillUnchecked();
      }
    }
  };
  // The bits a read takes are the stream's own (where a window stands zeros
  // in past its read-ahead limit, those are read first). Only the checked
  // reads come near such a limit.
  const auto own = [&bits](int n) {
    if constexpr (kCheckedRefill) {
      bits.EnsureReal(n);
    } else {
      (void)bits;
      (void)n;
    }
  };
  constexpr int kEntryWanted = kWide ? kMaxEntryBits : kLookupBits;
  refillFor(kEntryWanted);
  own(1);
  if (bits.Peek(1) == 1) {  // only end of block: the block is its prediction
    bits.Skip(1);
    return 0;
  }
  // The two never overlap (restrict): the reader's state may stay in
  // registers across the stores of coefficients.
  ClearCoefficients(coefficients);
  CoefficientMask mask = 0;
  int position = 0;
  for (int count = 0; count < kCoefficientCount; ++count) {
    refillFor(kEntryWanted);
    const EntryLookup* lookup = &kEntryLookupTable[bits.Peek(kLookupBits)];
    if constexpr (kCheckedRefill) {
      // Looked up again once the bits it wants are read: it may then want
      // more.
      while (lookup->length > bits.RealCount()) {
        own(lookup->length);
        lookup = &kEntryLookupTable[bits.Peek(kLookupBits)];
      }
    }
    bits.Skip(lookup->length);
    int32_t level = lookup->level;
    int run = lookup->run;
    if (lookup->kind != EntryKind::kLevel) {
      if (lookup->kind == EntryKind::kEndOfBlock) break;
      if constexpr (!kWide) refillFor(escapeWidth + kRunBits);
      own(escapeWidth + kRunBits);
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

}  // namespace dequantised_list_detail

// Reads one list from `bits` and, when it yields coefficients, writes all 16
// of `coefficients` (the levels placed as DequantiseList places them, zero
// elsewhere). Returns which coefficients were set, as DequantiseList does for
// the same list; `coefficients` is untouched when none were. kCheckedRefill
// as for ReadCoefficientList. `bits` is a BasicBitReader of either width,
// read in place (a copy of the whole reader, window and all, costs more
// than it saves, and on Thumb-1 calls memcpy).
template <bool kCheckedRefill, class BitReader>
inline CoefficientMask ReadDequantisedList(BitReader& __restrict bits, int escapeWidth,
                                           const DequantSteps& steps,
                                           BlockCoefficients& __restrict coefficients) {
  return dequantised_list_detail::ReadList<kCheckedRefill>(bits, escapeWidth, steps, coefficients);
}

}  // namespace vexo
