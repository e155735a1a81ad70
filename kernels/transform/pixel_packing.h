// The packing of the transform path's three 8-bit colour planes into 5-6-5
// pixels, in plain C++: the reference every processor's variant must match.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vexo {

// The kept high bits of each colour; the low bits are dropped.
constexpr uint16_t Pack565(uint8_t red, uint8_t green, uint8_t blue) {
  return static_cast<uint16_t>((red >> 3) << 11 | (green >> 2) << 5 | (blue >> 3));
}

// The pixel with its two bytes exchanged, for displays that take the other
// byte order.
constexpr uint16_t SwapPixelBytes(uint16_t pixel) {
  return static_cast<uint16_t>(pixel << 8 | pixel >> 8);
}

// Packs `rows` rows of `width` samples of each plane (plane rows
// `planeStride` samples apart) into `out` (rows `outStride` pixels apart).
// The pixels between width and outStride are never written.
inline void PackRows565Plain(const uint8_t* red, const uint8_t* green, const uint8_t* blue,
                             ptrdiff_t planeStride, int32_t width, int32_t rows, uint16_t* out,
                             ptrdiff_t outStride, bool byteSwapped) {
  for (int32_t y = 0; y < rows; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      const uint16_t pixel = Pack565(red[x], green[x], blue[x]);
      out[x] = byteSwapped ? SwapPixelBytes(pixel) : pixel;
    }
    red += planeStride;
    green += planeStride;
    blue += planeStride;
    out += outStride;
  }
}

}  // namespace vexo
