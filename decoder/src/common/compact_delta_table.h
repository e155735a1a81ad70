// The one delta table of the small policy: the predictive path's fine deltas
// as 16-bit values, then the fast path's two entries of its own. The coarse
// deltas are the fine ones doubled, and the fast path's symbol s (2 or more)
// selects entry s - 2, so neither needs a table of its own.
#pragma once

#include <array>
#include <cstdint>

#include "fast/fast_delta_table.h"
#include "predictive/delta_tables.h"

namespace vexo {

inline constexpr int kCompactDeltaTableSize = kFastDeltaTableSize - 1;

inline constexpr std::array<int16_t, kCompactDeltaTableSize> CompactDeltaTable = [] {
  std::array<int16_t, kCompactDeltaTableSize> table{};
  for (int k = 0; k < kCompactDeltaTableSize; ++k) {
    table[k] = static_cast<int16_t>(FastDeltaTable[k + 1]);
  }
  return table;
}();

static_assert(
    [] {
      for (int k = 0; k < kFastDeltaTableSize; ++k) {
        const int32_t small = k == 0 ? 0 : CompactDeltaTable[k - 1];
        if (small != FastDeltaTable[k]) return false;
      }
      return true;
    }(),
    "every delta fits 16 bits with its sign");

// The 16-bit increment of a delta entry at the given scale (1 or 2): added
// to a pixel modulo 65536, as the fast form's prepared tables are.
inline uint16_t CompactDelta(int index, int scale) {
  return static_cast<uint16_t>(scale * CompactDeltaTable[index]);
}

}  // namespace vexo
