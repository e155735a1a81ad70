/* 320 x 240 pictures decoded band by band on a BBC micro:bit: an nRF51822,
 * a Cortex-M0 with 256 KB of flash and 16 KB of RAM, far too little for a
 * 150 KB picture. The files are constant arrays in flash; the decoder's
 * workspace and two band buffers of 4 rows are static arrays, as a firmware
 * that sends each band to an SPI panel by DMA has them (one band goes out
 * while the next is decoded). Here each band is held to the checksum of the
 * same rows of the desktop's decode instead, and the program exits through
 * semihosting with EXIT_PASSED only when every band of every picture
 * matches.
 *
 * The pictures, one per coding path, and their list come from sources the
 * build makes (microbit_pictures and CMakeLists.txt). */
#include <stddef.h>
#include <stdint.h>

#include "board.h"
#include "picture.h"
#include "semihosting.h"
#include "vexo.h"

enum { WIDTH = 320, BAND_ROWS = 4 };

static uint16_t bands[2][BAND_ROWS * WIDTH];
/* vexo_band_workspace_size is at most 4 x the width rounded up to a
 * multiple of 4, plus 512 bytes, on every path; the program checks it. */
static uint32_t workspace[(4 * ((WIDTH + 3) / 4 * 4) + 512) / 4];

/* FNV-1a (32-bit) over the pixels, low byte first, as microbit_pictures
 * computes it on the desktop. */
static uint32_t band_checksum(const uint16_t* pixel, size_t count) {
  uint32_t hash = 2166136261u;
  for (size_t i = 0; i < count; ++i) {
    hash = (hash ^ (pixel[i] & 0xFFu)) * 16777619u;
    hash = (hash ^ (pixel[i] >> 8)) * 16777619u;
  }
  return hash;
}

/* Says what failed with the picture: `what`, then `number` if it is not
 * NULL. */
static int fail(const picture* picture, const char* what, const int32_t* number) {
  semihosting_write(picture->name);
  semihosting_write(": ");
  semihosting_write(what);
  if (number != NULL) semihosting_write_decimal(*number);
  semihosting_write("\n");
  return 0;
}

/* Decodes the picture band by band, each band into the other buffer, and
 * checks every band as it comes. Returns 1 when all of them match. */
static int check_picture(const picture* picture) {
  vexo_info info;
  int32_t status = vexo_read_info(picture->file, picture->file_size, &info);
  if (status != VEXO_OK) return fail(picture, "the header does not read: status ", &status);
  if (info.width < 1 || info.width > WIDTH) return fail(picture, "not 1 to 320 wide", NULL);
  const int32_t needed = (int32_t)vexo_band_workspace_size(&info);
  if ((size_t)needed > sizeof workspace) {
    return fail(picture, "needs a larger workspace, bytes: ", &needed);
  }
  status = vexo_band_begin(workspace, sizeof workspace, picture->file, picture->file_size, 0);
  if (status != VEXO_OK) return fail(picture, "the decode does not start: status ", &status);

  int32_t band = 0;
  int first_row = 0;
  int rows;
  while ((rows = vexo_band_next(workspace, bands[band % 2], (size_t)info.width, &first_row)) > 0) {
    if (band == picture->band_count || first_row != band * BAND_ROWS) {
      return fail(picture, "bands out of order at band ", &band);
    }
    if (band_checksum(bands[band % 2], (size_t)rows * (size_t)info.width) !=
        picture->band_checksums[band]) {
      return fail(picture, "differs from the desktop's decode in band ", &band);
    }
    ++band;
  }
  status = rows;
  if (status < 0) return fail(picture, "the decode fails: status ", &status);
  if (band != picture->band_count) return fail(picture, "bands missing after band ", &band);
  semihosting_write(picture->name);
  semihosting_write(": ");
  semihosting_write_decimal(band);
  semihosting_write(" bands as on the desktop, workspace ");
  semihosting_write_decimal(needed);
  semihosting_write(" bytes\n");
  return 1;
}

int main(void) {
  int passed = 1;
  for (size_t i = 0; i < picture_count; ++i) {
    passed &= check_picture(pictures[i]);
  }
  const int32_t used = (int32_t)stack_bytes_used();
  const int32_t reserved = (int32_t)stack_bytes_reserved();
  semihosting_write("stack: ");
  semihosting_write_decimal(used);
  semihosting_write(" of ");
  semihosting_write_decimal(reserved);
  semihosting_write(" bytes used\n");
  if (used >= reserved) {
    semihosting_write("the stack has outgrown its reserve (STACK_BYTES in nrf51.ld)\n");
    passed = 0;
  }
  return passed ? EXIT_PASSED : EXIT_FAILED;
}
