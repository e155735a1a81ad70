#include "bgr_row_kernels.h"

namespace vexo {

void Rgb565RowToBgrPlain(const uint16_t* pixels, size_t count, uint8_t* bgr) {
  for (size_t i = 0; i < count; ++i) {
    const uint32_t pixel = pixels[i];
    bgr[0] = static_cast<uint8_t>((pixel << 3) & 0xF8);
    bgr[1] = static_cast<uint8_t>((pixel >> 3) & 0xFC);
    bgr[2] = static_cast<uint8_t>((pixel >> 8) & 0xF8);
    bgr += 3;
  }
}

}  // namespace vexo
