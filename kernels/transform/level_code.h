// The level code of the transform path and the reading of one coefficient
// list: up to sixteen (level, run) entries ended by an end-of-block symbol.
#pragma once

#include <array>
#include <cstdint>

#include "common/bit_reader.h"
#include "transform/quality_tables.h"

namespace vexo {

// The seven level symbols as the code tree numbers them: 0 to 4 are the level
// plus 2 (2 is end of block, the level 0 that ends a list).
enum class LevelSymbol : uint8_t {
  kMinusTwo = 0,
  kMinusOne = 1,
  kEndOfBlock = 2,
  kPlusOne = 3,
  kPlusTwo = 4,
  kPositiveEscape = 5,
  kNegativeEscape = 6,
};

// The code as a tree of 6 nodes with two entries each (bit 0, bit 1): an
// entry >= 0 is the first entry of the next node, an entry -s a leaf whose
// symbol is LevelCodeSymbols[s].
inline constexpr std::array<int8_t, 12> LevelCodeTree = {2, -1, 4,  6,  -2, -3,
                                                         8, -4, -5, 10, -6, -7};
inline constexpr std::array<uint8_t, 8> LevelCodeSymbols = {0, 2, 1, 3, 4, 0, 6, 5};

// The code word of each symbol, first bit most significant, for writers.
struct LevelCodeWord {
  uint8_t bits;
  uint8_t length;
};
inline constexpr std::array<LevelCodeWord, 7> LevelCodeWords = {{
    {0b0100, 4},   // minus two
    {0b000, 3},    // minus one
    {0b1, 1},      // end of block
    {0b001, 3},    // plus one
    {0b011, 3},    // plus two
    {0b01011, 5},  // positive escape
    {0b01010, 5},  // negative escape
}};

inline constexpr int kRunBits = 4;
inline constexpr int kMaxLevelCodeBits = 5;
// Longest entry: escape code, 11 magnitude bits, run.
inline constexpr int kMaxEntryBits = kMaxLevelCodeBits + 11 + kRunBits;
inline constexpr int kMaxListBits = kCoefficientCount * kMaxEntryBits;

struct LevelRun {
  int32_t level;
  int32_t run;
};

// One decoded list. `count` entries were read before the end-of-block symbol
// (16 when the list had none); an escape of magnitude 0 is kept as level 0.
struct CoefficientList {
  std::array<LevelRun, kCoefficientCount> entries;
  int32_t count;

  // A list whose first level is 0 leaves its block equal to the prediction.
  bool StartsWithZero() const { return count == 0 || entries[0].level == 0; }
};

namespace level_code_detail {

// Everything one 8-bit look-ahead tells about the next entry: a short level
// with its run (code and run in `length` bits), end of block, or an escape
// (5 code bits; magnitude and run follow).
enum class EntryKind : uint8_t { kLevel, kEndOfBlock, kEscape };
struct EntryLookup {
  int8_t level;  // the level, or the sign (+1/-1) of an escape
  uint8_t run;
  uint8_t length;
  EntryKind kind;
};
inline constexpr int kLookupBits = 8;  // a short code (up to 4 bits) and its run

constexpr EntryLookup MakeEntryLookup(unsigned index) {
  int node = 0;
  for (int used = 1;; ++used) {
    const int bit = (index >> (kLookupBits - used)) & 1;
    const int entry = LevelCodeTree[node + bit];
    if (entry >= 0) {
      node = entry;
      continue;
    }
    const int symbol = LevelCodeSymbols[-entry];
    const auto length = static_cast<uint8_t>(used);
    if (symbol == static_cast<int>(LevelSymbol::kEndOfBlock)) {
      return {0, 0, length, EntryKind::kEndOfBlock};
    }
    if (symbol == static_cast<int>(LevelSymbol::kPositiveEscape)) {
      return {1, 0, length, EntryKind::kEscape};
    }
    if (symbol == static_cast<int>(LevelSymbol::kNegativeEscape)) {
      return {-1, 0, length, EntryKind::kEscape};
    }
    const unsigned run = (index >> (kLookupBits - used - kRunBits)) & 0xF;
    return {static_cast<int8_t>(symbol - 2), static_cast<uint8_t>(run),
            static_cast<uint8_t>(used + kRunBits), EntryKind::kLevel};
  }
}

constexpr std::array<EntryLookup, 1u << kLookupBits> MakeEntryLookupTable() {
  std::array<EntryLookup, 1u << kLookupBits> table{};
  for (unsigned index = 0; index < table.size(); ++index) table[index] = MakeEntryLookup(index);
  return table;
}

inline constexpr auto kEntryLookupTable = MakeEntryLookupTable();

}  // namespace level_code_detail

// Reads one list with a table look-up per entry. kCheckedRefill selects the
// refill that is safe near the end of the file; without it the caller
// guarantees that the list's bytes (plus the reader's look-ahead) are in the
// file.
template <bool kCheckedRefill>
inline void ReadCoefficientList(VexoBitReader& bits, int escapeWidth, CoefficientList& list) {
  using namespace level_code_detail;
  int count = 0;
  for (; count < kCoefficientCount; ++count) {
    if (bits.Count() < kMaxEntryBits) {
      if constexpr (kCheckedRefill) {
        bits.Refill();
      } else {
        bits.RefillUnchecked();
      }
    }
    const EntryLookup lookup = kEntryLookupTable[bits.Peek(kLookupBits)];
    bits.Skip(lookup.length);
    LevelRun& entry = list.entries[count];
    if (lookup.kind == EntryKind::kLevel) {
      entry = {lookup.level, lookup.run};
      continue;
    }
    if (lookup.kind == EntryKind::kEndOfBlock) break;
    int32_t magnitude = 0;
    if (escapeWidth > 0) {
      magnitude = static_cast<int32_t>(bits.Peek(escapeWidth));
      bits.Skip(escapeWidth);
    }
    entry.level = lookup.level * magnitude;
    entry.run = static_cast<int32_t>(bits.Peek(kRunBits));
    bits.Skip(kRunBits);
  }
  list.count = count;
}

}  // namespace vexo
