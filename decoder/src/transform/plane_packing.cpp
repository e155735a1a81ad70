#include "transform/plane_packing.h"

#include <cstring>

namespace vexo {
namespace {

// Eight pixels at a time in vector registers (the compiler's generic
// vectors, so the same code serves every target), then the rest of the row.
using Samples8 = uint8_t __attribute__((vector_size(8)));
using Pixels8 = uint16_t __attribute__((vector_size(16)));

Pixels8 Widen(const uint8_t* samples) {
  Samples8 narrow;
  std::memcpy(&narrow, samples, sizeof narrow);
  return __builtin_convertvector(narrow, Pixels8);
}

void PackRow(const uint8_t* red, const uint8_t* green, const uint8_t* blue, uint16_t* out,
             int32_t width) {
  constexpr int32_t kRun = 8;
  int32_t x = 0;
  for (; x + kRun <= width; x += kRun) {
    const Pixels8 pixels =
        (Widen(red + x) >> 3) << 11 | (Widen(green + x) >> 2) << 5 | Widen(blue + x) >> 3;
    std::memcpy(out + x, &pixels, sizeof pixels);
  }
  for (; x < width; ++x) out[x] = Pack565(red[x], green[x], blue[x]);
}

}  // namespace

void PackPlanes565(const WorkingPlanes& planes, int32_t width, int32_t height, uint16_t* image) {
  for (int32_t y = 0; y < height; ++y) {
    const size_t source = static_cast<size_t>(y) * planes.paddedWidth;
    PackRow(planes.plane[0] + source, planes.plane[1] + source, planes.plane[2] + source,
            image + static_cast<size_t>(y) * width, width);
  }
}

}  // namespace vexo
