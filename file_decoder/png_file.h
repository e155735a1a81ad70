// PNG output of a decoded picture: 8-bit red-green-blue, lossless, so it
// holds exactly the pixels of the 24-bit BMP.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "vexo_result.h"

namespace vexo {

// A PNG file of `rgb`: 3 bytes a pixel, rows top to bottom, no padding.
// Pixels that do not match the size are kInvalidRequest.
Result<std::vector<uint8_t>> EncodePng(int32_t width, int32_t height, std::span<const uint8_t> rgb);

}  // namespace vexo
