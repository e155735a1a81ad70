#include "pixel_conversion.h"

#include <cstring>

#include "bgr_row_kernels.h"

namespace vexo {

void ExpandRgb565(std::span<const uint16_t> image565, std::span<uint8_t> rgb) {
  uint8_t* out = rgb.data();
  for (const uint16_t pixel : image565) {
    out[0] = static_cast<uint8_t>((pixel >> 8) & 0xF8);
    out[1] = static_cast<uint8_t>((pixel >> 3) & 0xFC);
    out[2] = static_cast<uint8_t>((pixel << 3) & 0xFF);
    out += 3;
  }
}

size_t Rgb565ToBitmap24(std::span<const uint16_t> image565, int32_t width, int32_t height,
                        std::span<uint8_t> bitmap) {
  if (width <= 0 || height <= 0) return 0;
  const BgrRowKernel convertRow = ActiveBgrRowKernel();
  const size_t rowBytes = BitmapRowBytes(width);
  const size_t pixelBytes = 3 * static_cast<size_t>(width);
  uint8_t* out = bitmap.data();
  for (int32_t row = height - 1; row >= 0; --row) {
    convertRow(image565.data() + static_cast<size_t>(row) * static_cast<size_t>(width),
               static_cast<size_t>(width), out);
    std::memset(out + pixelBytes, 0, rowBytes - pixelBytes);
    out += rowBytes;
  }
  return rowBytes * static_cast<size_t>(height);
}

}  // namespace vexo
