// Conversions from the decoder's 16-bit 5-6-5 picture to the 24-bit bottom-up
// picture the viewer paints and writes as BMP.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace vexo {

// Bytes after each 24-bit row that bring it to a multiple of 4: width mod 4.
constexpr int32_t RowPadding(int32_t width) {
  return width & 3;
}

// Length of one 24-bit row including its padding.
constexpr size_t BitmapRowBytes(int32_t width) {
  return 3 * static_cast<size_t>(width) + static_cast<size_t>(RowPadding(width));
}

// Each 5-6-5 pixel to red, green, blue bytes, top row first, no padding. The
// low bits of each byte stay 0: 0xFFFF becomes 248, 252, 248.
// `rgb` holds 3 bytes per pixel of `image565`.
void ExpandRgb565(std::span<const uint16_t> image565, std::span<uint8_t> rgb);

// The decoder's picture straight to the bottom-up blue-green-red rows the
// viewer paints and saves, each followed by RowPadding(width) bytes of 0, in
// one pass; ExpandRgb565 followed by a flip of the rows and a swap of red
// and blue gives the same bytes.
// Returns the image byte count, BitmapRowBytes(width) x height; `bitmap`
// must hold that many bytes and `image565` width x height pixels.
size_t Rgb565ToBitmap24(std::span<const uint16_t> image565, int32_t width, int32_t height,
                        std::span<uint8_t> bitmap);

}  // namespace vexo
