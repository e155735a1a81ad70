// Levels in scan order to a coefficient list: its entries as the decoder will
// read them, its cost in bits, and its bits.
#pragma once

#include <array>
#include <cstdint>

#include "common/bit_writer.h"
#include "transform/level_code.h"

namespace vexo {

// The list for levels by scan position: one (level, run) entry per non-zero
// level, the run counting the zeros before it, then end of block unless all
// sixteen are set. A list without levels is end of block alone.
CoefficientList MakeCoefficientList(const std::array<int32_t, kCoefficientCount>& levels);

// Bits the list takes with this escape width.
int CoefficientListBits(const CoefficientList& list, int escapeWidth);

void WriteCoefficientList(const CoefficientList& list, int escapeWidth, BitWriter& bits);

// The largest level magnitude the code can carry: 2 without escape bits,
// otherwise the largest escaped magnitude.
int32_t LargestLevel(int escapeWidth);

}  // namespace vexo
