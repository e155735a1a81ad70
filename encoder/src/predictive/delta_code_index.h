// The inverse of a predictive delta table: for every 16-bit difference, the
// shortest pixel code that adds it, if the table has one.
#pragma once

#include <array>
#include <cstdint>

#include "predictive/delta_tables.h"

namespace vexo {

struct DeltaCode {
  uint8_t length = 0;  // bits of the whole pixel code; 0 when no entry adds this
  uint8_t deltaClass = 0;
  uint8_t value = 0;  // the (class + 2)-bit value
};

class DeltaCodeIndex {
 public:
  explicit DeltaCodeIndex(const std::array<int32_t, kDeltaTableSize>& table);

  const DeltaCode& For(uint16_t difference) const { return codes_[difference]; }

  // The index of quality 2 (coarse) or of every other quality (fine).
  static const DeltaCodeIndex& ForQuality(int quality);

 private:
  std::array<DeltaCode, 1u << 16> codes_{};
};

}  // namespace vexo
