// The dithered reductions of an 8-bit picture to 5-6-5 pixels.
#pragma once

#include <cstdint>
#include <vector>

#include "vexo_encoder.h"

namespace vexo {

std::vector<uint16_t> OrderedDither(const RgbPicture& picture);
std::vector<uint16_t> FloydSteinbergDither(const RgbPicture& picture);

}  // namespace vexo
