// The transform-path encoder (family 101): three 8-bit planes coded as 4 x 4
// intra predictions plus quantised integer-transform residuals. It predicts
// from exactly what the decoder will have rebuilt, zero-initialised planes
// included, and picks each block position's mode by rate and distortion.
#pragma once

#include <cstdint>
#include <vector>

#include "vexo_encoder.h"

namespace vexo {

std::vector<uint8_t> EncodeTransform(const RgbPicture& picture, const VexoHeader& header);

}  // namespace vexo
