#include "transform/coefficient_list_writer.h"

#include <algorithm>
#include <cstdlib>

namespace vexo {
namespace {

// Short codes for -2 to +2; anything else is escaped.
LevelSymbol SymbolFor(int32_t level) {
  switch (level) {
    case -2:
      return LevelSymbol::kMinusTwo;
    case -1:
      return LevelSymbol::kMinusOne;
    case 1:
      return LevelSymbol::kPlusOne;
    case 2:
      return LevelSymbol::kPlusTwo;
    default:
      return level > 0 ? LevelSymbol::kPositiveEscape : LevelSymbol::kNegativeEscape;
  }
}

bool IsEscape(LevelSymbol symbol) {
  return symbol == LevelSymbol::kPositiveEscape || symbol == LevelSymbol::kNegativeEscape;
}

const LevelCodeWord& WordOf(LevelSymbol symbol) {
  return LevelCodeWords[static_cast<size_t>(symbol)];
}

}  // namespace

CoefficientList MakeCoefficientList(const std::array<int32_t, kCoefficientCount>& levels) {
  CoefficientList list{};
  int32_t run = 0;
  for (const int32_t level : levels) {
    if (level == 0) {
      ++run;
      continue;
    }
    list.entries[list.count++] = {level, run};
    run = 0;
  }
  if (list.count < kCoefficientCount) list.entries[list.count] = {0, 0};
  return list;
}

void WriteCoefficientList(const CoefficientList& list, int escapeWidth, BitPacker& bits) {
  for (int k = 0; k < list.count; ++k) {
    const LevelRun& entry = list.entries[k];
    const LevelSymbol symbol = SymbolFor(entry.level);
    // One entry is at most 20 bits: code, magnitude and run in one put.
    uint32_t word = WordOf(symbol).bits;
    int length = WordOf(symbol).length;
    if (IsEscape(symbol)) {
      word = word << escapeWidth | static_cast<uint32_t>(std::abs(entry.level));
      length += escapeWidth;
    }
    bits.Put(word << kRunBits | static_cast<uint32_t>(entry.run), length + kRunBits);
  }
  if (list.count < kCoefficientCount) {
    bits.Put(WordOf(LevelSymbol::kEndOfBlock).bits, WordOf(LevelSymbol::kEndOfBlock).length);
  }
}

int32_t LargestLevel(int escapeWidth) {
  return escapeWidth == 0 ? 2 : std::max(2, (1 << escapeWidth) - 1);
}

}  // namespace vexo
