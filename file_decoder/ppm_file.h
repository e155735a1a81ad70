// Binary PPM (P6) output of a decoded picture: a short text header followed
// by the 8-bit red-green-blue pixels, rows top to bottom.
#pragma once

#include <cstdint>
#include <string>

namespace vexo {

// "P6\nWIDTH HEIGHT\n255\n"; the pixels follow it unchanged.
std::string PpmHeader(int32_t width, int32_t height);

}  // namespace vexo
