// Shrinking an 8-bit red-green-blue picture by area averaging: every output
// pixel is the mean of the source area it covers, partly covered pixels
// weighted by their share. Sharp, free of aliasing, and exact for flat areas.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace vexo::thumbnailer {

// `rgb` holds width x height pixels, 3 bytes each, rows top to bottom; the
// result holds toWidth x toHeight. The target sides are at least 1 and at
// most the source's.
std::vector<uint8_t> ShrinkByAreaAveraging(std::span<const uint8_t> rgb, int32_t width,
                                           int32_t height, int32_t toWidth, int32_t toHeight);

}  // namespace vexo::thumbnailer
