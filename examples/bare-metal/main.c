/* A VEXO picture decoded on a bare ARM processor: no operating system, no
 * heap, no C++ runtime. The file is a constant array in the program, the
 * pixels a static buffer sized for it, and the working memory a budget the
 * firmware sets aside, which vexo_workspace_size checks at run time.
 *
 * The program checks its own decode: status, result and a hash of the
 * pixels must equal what the desktop build decodes, and it exits with 0
 * only then. */
#include <stddef.h>
#include <stdint.h>

#include "example_picture.h"
#include "vexo.h"

static uint16_t pixels[EXAMPLE_WIDTH * EXAMPLE_HEIGHT];
/* The working memory set aside for decoding: what vexo_workspace_size says a
 * picture needs must fit (it is 0 unless the picture is a transform one). */
static uint32_t workspace[8192 / sizeof(uint32_t)];

/* FNV-1a over the pixels, low byte first: the hash the regression test
 * keeps for every sample. */
static uint64_t hash_pixels(const uint16_t* pixel, size_t count) {
  uint64_t hash = 0xcbf29ce484222325ull;
  for (size_t i = 0; i < count; ++i) {
    hash = (hash ^ (pixel[i] & 0xFFu)) * 0x100000001b3ull;
    hash = (hash ^ (pixel[i] >> 8)) * 0x100000001b3ull;
  }
  return hash;
}

/* 0 when the picture decodes to what is expected; otherwise which step
 * failed. */
int main(void) {
  vexo_info info;
  if (vexo_read_info(example_file, example_file_size, &info) != VEXO_OK) return 2;
  if (info.width != EXAMPLE_WIDTH || info.height != EXAMPLE_HEIGHT) return 3;
  const size_t workspace_size = vexo_workspace_size(&info);
  if (workspace_size > sizeof workspace) return 4;

  int32_t result = 0;
  const int status = vexo_decode(example_file, example_file_size, pixels, (size_t)info.width, 0,
                                 workspace, workspace_size, &result);
  if (status != VEXO_OK) return 5;
  if (result != EXAMPLE_RESULT) return 6;
  if (hash_pixels(pixels, sizeof pixels / sizeof pixels[0]) != EXAMPLE_PIXEL_HASH) return 7;
  return 0;
}
