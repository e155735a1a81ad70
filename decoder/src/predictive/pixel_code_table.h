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

// One entry: the 16-bit delta to add (0 for a copy), the code length and a
// flag for a raw pixel.
struct PixelCode {
  static constexpr uint32_t kRawFlag = 1u << 24;

  static constexpr uint16_t Delta(uint32_t entry) { return static_cast<uint16_t>(entry); }
  static constexpr int Length(uint32_t entry) { return static_cast<int>((entry >> 16) & 0xFF); }
  static constexpr bool IsRaw(uint32_t entry) { return (entry & kRawFlag) != 0; }
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
  return delta | (static_cast<uint32_t>(length) << 16) | (raw ? PixelCode::kRawFlag : 0u);
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

inline constexpr PixelCodeTable PixelCodesFine = BuildPixelCodeTable(DeltaTableFine);
inline constexpr PixelCodeTable PixelCodesCoarse = BuildPixelCodeTable(DeltaTableCoarse);

static_assert([] {
  for (uint32_t bits = 0; bits < PixelCodesFine.size(); ++bits) {
    const int first = PixelCodeLength(bits >> (kPixelCodeBits - kPixelCodeLengthBits));
    if (PixelCode::Length(PixelCodesFine[bits]) != first) return false;
  }
  return true;
}());

}  // namespace vexo
