// Lookup of a predictive pixel code from the next 12 bits of the stream.
//
// A pixel code is "1" (copy the prediction), "0 111" (raw pixel) or
// "0, class i (3 bits), value v (i + 2 bits)" (prediction plus a table delta).
// No code is longer than 12 bits, so one peek of 12 bits and one table lookup
// decode any of them.
#pragma once

#include <array>
#include <cstdint>

#include "predictive/delta_tables.h"
#include "predictive/predictive_format.h"

namespace vexo {

inline constexpr int kPixelCodeBits = 12;

// One entry: the 16-bit fine delta to add (0 for a copy) in the low half, a
// flag for a raw pixel above it, and the code length in the top byte, where
// one shift takes it out.
struct PixelCode {
  static constexpr uint32_t kRawFlag = 1u << 16;
  static constexpr int kLengthShift = 24;

  static constexpr uint16_t Delta(uint32_t entry) { return static_cast<uint16_t>(entry); }
  static constexpr int Length(uint32_t entry) { return static_cast<int>(entry >> kLengthShift); }
  static constexpr bool IsRaw(uint32_t entry) { return (entry & kRawFlag) != 0; }
  // The predicted pixel plus the entry's delta, doubled `coarseShift` (0 or
  // 1) times: the coarse deltas are the fine ones doubled, so one table
  // serves both. Only the low 16 bits are the pixel: the bits above the
  // delta, and any above the prediction, reach bits above 16 only, so a
  // chain of additions may leave them there and clear them once, when it
  // stores the pixel.
  static constexpr uint32_t AddDelta(uint32_t predicted, uint32_t entry, int coarseShift) {
    return predicted + (entry << coarseShift);
  }
};

using PixelCodeTable = std::array<uint32_t, 1u << kPixelCodeBits>;

// A code's length follows from its first 4 bits: "1..." is 1 bit, "0111"
// (raw) 4, and "0" with class i 4 + i + 2. The 16 lengths, 4 bits each, fit
// one 64-bit constant, so the length needs no memory access.
inline constexpr int kPixelCodeLengthBits = 4;

inline constexpr uint64_t kPixelCodeLengths = [] {
  uint64_t lengths = 0;
  for (uint32_t first = 0; first < 16; ++first) {
    uint64_t length = kCopyCodeBits;
    if (first == kRawEscapeCode) {
      length = kRawEscapeBits;
    } else if ((first >> 3) == 0) {
      length = static_cast<uint64_t>(kDeltaClassCodeBits + DeltaClassValueBits(first & 7));
    }
    lengths |= length << (4 * first);
  }
  return lengths;
}();

constexpr int PixelCodeLength(uint32_t firstFourBits) {
  return static_cast<int>((kPixelCodeLengths >> (4 * firstFourBits)) & 0xF);
}

constexpr uint32_t MakePixelCode(uint16_t delta, int length, bool raw) {
  return delta | (static_cast<uint32_t>(length) << PixelCode::kLengthShift) |
         (raw ? PixelCode::kRawFlag : 0u);
}

constexpr PixelCodeTable BuildPixelCodeTable(const std::array<int32_t, kDeltaTableSize>& deltas) {
  PixelCodeTable table{};
  for (uint32_t bits = 0; bits < table.size(); ++bits) {
    if (bits >> 11) {
      table[bits] = MakePixelCode(0, kCopyCodeBits, false);
      continue;
    }
    if ((bits >> 8) == kRawEscapeCode) {
      table[bits] = MakePixelCode(0, kRawEscapeBits, true);
      continue;
    }
    const int deltaClass = static_cast<int>((bits >> 8) & 7);
    const int valueBits = DeltaClassValueBits(deltaClass);
    const uint32_t value = (bits >> (8 - valueBits)) & ((1u << valueBits) - 1);
    const int32_t delta = deltas[DeltaClassFirstIndex(deltaClass) + value];
    table[bits] =
        MakePixelCode(static_cast<uint16_t>(delta), kDeltaClassCodeBits + valueBits, false);
  }
  return table;
}

inline constexpr PixelCodeTable PixelCodes = BuildPixelCodeTable(DeltaTableFine);
// The coarse deltas in a table of their own, for processors whose data cache
// holds both tables and for which a shift by a variable costs more than on
// ARM.
inline constexpr PixelCodeTable PixelCodesCoarse = BuildPixelCodeTable(DeltaTableCoarse);

// The same codes laid out for the 32-bit processors' decoder: the code
// length in the low byte, the raw flag in the byte above it and the fine
// delta in the high half. A shift by a register takes its amount from the
// register's low byte (ARM's shifter does, see ShiftLeftByLowByte), so the
// entry itself shifts its code out of the bits; a shift right by 16 or 15
// gives the fine or the coarse delta (bit 15 is clear); and the sum of two
// entries holds their lengths in its low byte and, in the byte above, a
// trace of any raw code among them.
struct CountedPixelCode {
  static constexpr uint32_t kLengthMask = 0xFF;
  static constexpr uint32_t kRawFlag = 1u << 8;
  static constexpr int kFineDeltaShift = 16;
  static constexpr int kCoarseDeltaShift = 15;

  static constexpr bool IsRaw(uint32_t entry) { return (entry & kRawFlag) != 0; }
  // True when a sum of entries holds a raw code: its second byte, taken with
  // two shifts, which Thumb-1 tests without a mask constant.
  static constexpr bool HasRaw(uint32_t sum) { return (sum << 16) >> 24 != 0; }
  // The predicted pixel plus the entry's delta, in the low 16 bits.
  static constexpr uint32_t AddDelta(uint32_t predicted, uint32_t entry, int deltaShift) {
    return predicted + (entry >> deltaShift);
  }
};

constexpr PixelCodeTable BuildCountedPixelCodeTable(const PixelCodeTable& codes) {
  PixelCodeTable table{};
  for (size_t bits = 0; bits < table.size(); ++bits) {
    const uint32_t code = codes[bits];
    table[bits] = static_cast<uint32_t>(PixelCode::Delta(code)) << 16 |
                  (PixelCode::IsRaw(code) ? CountedPixelCode::kRawFlag : 0u) |
                  static_cast<uint32_t>(PixelCode::Length(code));
  }
  return table;
}

inline constexpr PixelCodeTable CountedPixelCodes = BuildCountedPixelCodeTable(PixelCodes);

// The coarse deltas are the fine ones doubled, so AddDelta reaches them from
// the fine table.
static_assert([] {
  for (int k = 0; k < kDeltaTableSize; ++k) {
    if (static_cast<uint16_t>(DeltaTableCoarse[k]) != static_cast<uint16_t>(2 * DeltaTableFine[k]))
      return false;
  }
  return true;
}());

static_assert([] {
  for (uint32_t bits = 0; bits < PixelCodes.size(); ++bits) {
    const int first = PixelCodeLength(bits >> (kPixelCodeBits - kPixelCodeLengthBits));
    if (PixelCode::Length(PixelCodes[bits]) != first) return false;
  }
  return true;
}());

}  // namespace vexo
