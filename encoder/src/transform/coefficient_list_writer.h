// Levels in scan order to a coefficient list: its entries as the decoder will
// read them, and its bits.
#pragma once

#include <array>
#include <cstdint>

#include "common/bit_packer.h"
#include "transform/level_code.h"

namespace vexo {

// The list for levels by scan position: one (level, run) entry per non-zero
// level, the run counting the zeros before it, then end of block unless all
// sixteen are set. A list without levels is end of block alone.
CoefficientList MakeCoefficientList(const std::array<int32_t, kCoefficientCount>& levels);

void WriteCoefficientList(const CoefficientList& list, int escapeWidth, BitPacker& bits);

// The largest level magnitude the code can carry: 2 without escape bits,
// otherwise the largest escaped magnitude.
int32_t LargestLevel(int escapeWidth);

}  // namespace vexo
