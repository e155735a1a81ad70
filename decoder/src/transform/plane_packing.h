// Packing of the transform path's three 8-bit colour planes into 5-6-5 pixels.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vexo {

// The three working planes of one picture, each row-major with a row stride
// of paddedWidth samples.
struct WorkingPlanes {
  uint8_t* plane[3];  // red, green, blue
  int32_t paddedWidth;
  int32_t paddedHeight;
};

inline uint16_t Pack565(uint8_t red, uint8_t green, uint8_t blue) {
  return static_cast<uint16_t>((red >> 3) << 11 | (green >> 2) << 5 | (blue >> 3));
}

// Writes the top-left width x height samples of the planes into `image`, whose
// rows start `stride` pixels apart; low bits are dropped, padding columns and
// rows skipped.
void PackPlanes565(const WorkingPlanes& planes, int32_t width, int32_t height, uint16_t* image,
                   ptrdiff_t stride);

}  // namespace vexo
