/* stb_image's JPEG decoder alone, in plain C (no NEON or SSE2 paths), the
 * way a small ARM device without SIMD would build it. */
// clang-format off
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_JPEG
#define STBI_NO_SIMD
#define STBI_NO_STDIO
#include <stb/stb_image.h>

#include "peers.h"
// clang-format on

unsigned char* PeerJpegDecode(const unsigned char* coded, size_t size, int* width, int* height) {
  int channels = 0;
  return stbi_load_from_memory(coded, (int)size, width, height, &channels, 3);
}
