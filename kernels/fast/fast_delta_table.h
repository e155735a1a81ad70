// The fast path's deltas: the predictive path's fine table behind a leading 0,
// followed by two entries of its own. A symbol s of 1 or more selects entry
// s - 1, so symbol 1 always copies the predecessor.
#pragma once

#include <array>
#include <cstdint>

#include "fast/fast_format.h"
#include "predictive/delta_tables.h"

namespace vexo {

inline constexpr int kFastDeltaTableSize = 1 + kDeltaTableSize + 2;

inline constexpr std::array<int32_t, kFastDeltaTableSize> FastDeltaTable = [] {
  std::array<int32_t, kFastDeltaTableSize> table{};
  table[0] = 0;
  for (int k = 0; k < kDeltaTableSize; ++k) table[k + 1] = DeltaTableFine[k];
  table[kDeltaTableSize + 1] = -8516;
  table[kDeltaTableSize + 2] = -6013;
  return table;
}();

// The 16-bit increment of every symbol, already scaled, so that decoding a
// pixel costs one lookup and one addition. Index 0 (a raw pixel) is unused.
// The entries are 32 bits wide (the increment zero-extended) so that a
// 32-bit ARM fetches one with a single load of a scaled index; its 16-bit
// loads take no scaled index.
inline constexpr int kFastSymbolCount = 1 << kFastMaxSymbolBits;
using FastSymbolDeltas = std::array<uint32_t, kFastSymbolCount>;

constexpr FastSymbolDeltas BuildFastSymbolDeltas(int32_t scale) {
  FastSymbolDeltas deltas{};
  for (int symbol = 1; symbol < kFastSymbolCount; ++symbol) {
    deltas[symbol] = static_cast<uint16_t>(scale * FastDeltaTable[symbol - 1]);
  }
  return deltas;
}

inline constexpr FastSymbolDeltas FastSymbolDeltasScale1 = BuildFastSymbolDeltas(1);
inline constexpr FastSymbolDeltas FastSymbolDeltasScale2 = BuildFastSymbolDeltas(2);

constexpr const FastSymbolDeltas& FastSymbolDeltasForQuality(uint8_t quality) {
  return UsesCoarseDeltas(quality) ? FastSymbolDeltasScale2 : FastSymbolDeltasScale1;
}

}  // namespace vexo
