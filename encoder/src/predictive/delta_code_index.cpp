#include "predictive/delta_code_index.h"

#include "predictive/predictive_format.h"

namespace vexo {

DeltaCodeIndex::DeltaCodeIndex(const std::array<int32_t, kDeltaTableSize>& table) {
  // Classes in increasing code length, so the first entry found is the
  // shortest (two coarse entries can add the same 16-bit difference).
  for (int deltaClass = 0; deltaClass < kDeltaClassCount; ++deltaClass) {
    const int valueBits = DeltaClassValueBits(deltaClass);
    for (int value = 0; value < (1 << valueBits); ++value) {
      const auto difference =
          static_cast<uint16_t>(table[DeltaClassFirstIndex(deltaClass) + value]);
      DeltaCode& code = codes_[difference];
      if (code.length != 0) continue;
      code = {static_cast<uint8_t>(kDeltaClassCodeBits + valueBits),
              static_cast<uint8_t>(deltaClass), static_cast<uint8_t>(value)};
    }
  }
}

const DeltaCodeIndex& DeltaCodeIndex::ForQuality(int quality) {
  static const DeltaCodeIndex fine(DeltaTableFine);
  static const DeltaCodeIndex coarse(DeltaTableCoarse);
  return UsesCoarseDeltas(quality) ? coarse : fine;
}

}  // namespace vexo
