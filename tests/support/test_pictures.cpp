#include "test_pictures.h"

#include <algorithm>
#include <random>

namespace vexo::testing {

std::string PictureKindName(PictureKind kind) {
  static const char* const kNames[] = {"Flat", "Gradient", "Noise", "Edges"};
  return kNames[static_cast<int>(kind)];
}

RgbPicture MakeTestPicture(PictureKind kind, int32_t width, int32_t height, uint32_t seed) {
  RgbPicture picture{width, height, std::vector<uint8_t>(3 * static_cast<size_t>(width) * height),
                     true};
  std::mt19937 random(seed);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      uint8_t* pixel = &picture.rgb[3 * (static_cast<size_t>(y) * width + x)];
      switch (kind) {
        case PictureKind::kFlat:
          pixel[0] = 200, pixel[1] = 120, pixel[2] = 40;
          break;
        case PictureKind::kGradient:
          pixel[0] = static_cast<uint8_t>(255 * x / std::max(1, width - 1));
          pixel[1] = static_cast<uint8_t>(255 * y / std::max(1, height - 1));
          pixel[2] = static_cast<uint8_t>((x + y) * 4);
          break;
        case PictureKind::kNoise:
          pixel[0] = static_cast<uint8_t>(random());
          pixel[1] = static_cast<uint8_t>(random());
          pixel[2] = static_cast<uint8_t>(random());
          break;
        case PictureKind::kEdges: {
          const bool inside = ((x / 5) + (y / 3)) % 2 == 0;
          pixel[0] = inside ? 255 : 0;
          pixel[1] = inside ? 255 : 30;
          pixel[2] = (x == y) ? 255 : 0;
          break;
        }
      }
    }
  }
  return picture;
}

}  // namespace vexo::testing
