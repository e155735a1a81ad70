// The plain two-pass form of the conversion to the bottom-up Bitmap24, the
// reference the one-pass library conversion is checked against.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

#include "pixel_conversion.h"

namespace vexo::testing {

// Packed top-down red-green-blue rows (as ExpandRgb565 writes them) to
// bottom-up blue-green-red rows, each followed by RowPadding(width) bytes of
// 0. Returns the image byte count, BitmapRowBytes(width) x height; `bitmap`
// must hold that many bytes.
inline size_t FlipToBitmap24(std::span<const uint8_t> rgb, int32_t width, int32_t height,
                             std::span<uint8_t> bitmap) {
  const size_t rowBytes = BitmapRowBytes(width);
  const size_t pixelBytes = 3 * static_cast<size_t>(width);
  uint8_t* out = bitmap.data();
  for (int32_t row = height - 1; row >= 0; --row) {
    const uint8_t* source = rgb.data() + static_cast<size_t>(row) * pixelBytes;
    for (size_t i = 0; i < pixelBytes; i += 3) {
      out[i] = source[i + 2];
      out[i + 1] = source[i + 1];
      out[i + 2] = source[i];
    }
    std::memset(out + pixelBytes, 0, rowBytes - pixelBytes);
    out += rowBytes;
  }
  return rowBytes * static_cast<size_t>(height > 0 ? height : 0);
}

}  // namespace vexo::testing
