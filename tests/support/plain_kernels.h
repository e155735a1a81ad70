// The test-side form of the coefficient-list reader: one bit at a time down
// the code tree.
#pragma once

#include <cstdint>

#include "common/bit_reader.h"
#include "transform/level_code.h"

namespace vexo::testing {

// The same list read as the code is defined: one bit at a time down the
// tree. The plain reference for the library's ReadCoefficientList.
inline void ReadCoefficientListBitByBit(VexoBitReader& bits, int escapeWidth,
                                        CoefficientList& list) {
  int count = 0;
  for (; count < kCoefficientCount; ++count) {
    int entry = 0;
    do {
      entry = LevelCodeTree[entry + static_cast<int>(bits.Read(1))];
    } while (entry >= 0);
    const auto symbol = static_cast<LevelSymbol>(LevelCodeSymbols[-entry]);
    if (symbol == LevelSymbol::kEndOfBlock) break;
    int32_t level = static_cast<int32_t>(symbol) - 2;
    if (symbol == LevelSymbol::kPositiveEscape || symbol == LevelSymbol::kNegativeEscape) {
      const auto magnitude = escapeWidth > 0 ? static_cast<int32_t>(bits.Read(escapeWidth)) : 0;
      level = symbol == LevelSymbol::kPositiveEscape ? magnitude : -magnitude;
    }
    list.entries[count] = {level, static_cast<int32_t>(bits.Read(kRunBits))};
  }
  list.count = count;
}

}  // namespace vexo::testing
