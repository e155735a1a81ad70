#include "qoi_codec.h"

#include <cstdlib>

extern "C" {
#include "qoi_glue.h"
}

namespace vexo::bench {

std::vector<uint8_t> QoiEncodeRgb(const RgbPicture& picture) {
  int size = 0;
  void* coded = QoiEncode(picture.rgb.data(), picture.width, picture.height, &size);
  if (!coded) return {};
  std::vector<uint8_t> bytes(static_cast<uint8_t*>(coded), static_cast<uint8_t*>(coded) + size);
  std::free(coded);
  return bytes;
}

bool QoiDecodeRgb(const std::vector<uint8_t>& coded) {
  int width = 0, height = 0;
  // The library allocates its own output; that allocation is part of its
  // decode as it is offered.
  void* decoded = QoiDecode(coded.data(), static_cast<int>(coded.size()), &width, &height);
  std::free(decoded);
  return decoded != nullptr;
}

}  // namespace vexo::bench
