// The fast-path encoder: lossless at every quality (quality 2 doubles the
// deltas). Each 4 x 4 block takes the cheapest of raw pixels, delta chains
// with the narrowest sufficient symbol width in either direction, and fills
// (along rows only at effort 0).
// The fast path codes whole blocks only, so both sides must be multiples
// of 4.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "vexo_encoder.h"
#include "vexo_header.h"

namespace vexo {

// Why the fast path cannot code a picture of this size losslessly, or "".
std::string FastPathSizeProblem(int32_t width, int32_t height);

// The effort (kLowestEffort to kHighestEffort) steers the search per block.
std::vector<uint8_t> EncodeFast(std::span<const uint16_t> pixels, const VexoHeader& header,
                                int effort = kDefaultEffort);

}  // namespace vexo
