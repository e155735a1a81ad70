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

BgrRowKernel BgrRowKernelFor(SimdLevel level) {
#if defined(__x86_64__)
  // The 16-byte form needs only SSSE3, which every SSE4.1 processor has.
  if (level == SimdLevel::kAvx2) return Rgb565RowToBgrAvx2;
  if (level == SimdLevel::kSse41) return Rgb565RowToBgrSsse3;
#endif
  static_cast<void>(level);
  return Rgb565RowToBgrPlain;
}

BgrRowKernel ActiveBgrRowKernel() {
  static const BgrRowKernel kernel = BgrRowKernelFor(ActiveSimdLevel());
  return kernel;
}

}  // namespace vexo
