/* QOI's decoder, from its one header. No stdio: the driver reads the file. */
// clang-format off
#define QOI_IMPLEMENTATION
#define QOI_NO_STDIO
#include <qoi.h>

#include "peers.h"
// clang-format on

unsigned char* PeerQoiDecode(const unsigned char* coded, size_t size, int* width, int* height) {
  qoi_desc desc;
  unsigned char* pixels = qoi_decode(coded, (int)size, &desc, 3);
  if (pixels == NULL) return NULL;
  *width = (int)desc.width;
  *height = (int)desc.height;
  return pixels;
}
