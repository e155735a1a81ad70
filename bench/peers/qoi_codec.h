// QOI through its single-header C implementation, compiled in its own C file.
#pragma once

#include <cstdint>
#include <vector>

#include "vexo_encoder.h"

namespace vexo::bench {

std::vector<uint8_t> QoiEncodeRgb(const RgbPicture& picture);
// Decodes once and drops the pixels; false on failure.
bool QoiDecodeRgb(const std::vector<uint8_t>& coded);

}  // namespace vexo::bench
