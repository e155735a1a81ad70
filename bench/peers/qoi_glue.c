// The library is one header: its code comes in with QOI_IMPLEMENTATION
// defined before it, so the order of these includes matters.
// clang-format off
#define QOI_IMPLEMENTATION
#include <qoi.h>

#include "qoi_glue.h"
// clang-format on

void* QoiEncode(const void* rgb, int width, int height, int* size) {
  const qoi_desc desc = {(unsigned int)width, (unsigned int)height, 3, QOI_SRGB};
  return qoi_encode(rgb, &desc, size);
}

void* QoiDecode(const void* coded, int size, int* width, int* height) {
  qoi_desc desc;
  void* pixels = qoi_decode(coded, size, &desc, 3);
  *width = (int)desc.width;
  *height = (int)desc.height;
  return pixels;
}
