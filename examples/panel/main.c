/* A VEXO picture sent to a display panel that keeps the pixels itself (an
 * SPI panel with its own memory), from a device with no framebuffer: the
 * picture is decoded band by band, four rows at a time, into two band
 * buffers in turn, and each band is sent to the panel while the next one is
 * decoded, as firmware does with DMA. All the decode needs is the workspace
 * and the two bands: a few kilobytes for a 320 x 240 picture.
 *
 * The panel here is a stand-in: its "DMA transfer" copies the band into a
 * window of the panel's memory at once. The program checks the panel's
 * pixels against the desktop build's decode of the picture and exits with
 * 0 only when they are the same. */
#include <stddef.h>
#include <stdint.h>

#include "example_picture.h"
#include "panel.h"
#include "vexo.h"

enum { BAND_ROWS = 4 };

static uint16_t bands[2][BAND_ROWS * EXAMPLE_WIDTH];
/* vexo_band_workspace_size is at most 4 x the width rounded up to a
 * multiple of 4, plus 512 bytes, on every path. */
static uint32_t workspace[(4 * ((EXAMPLE_WIDTH + 3) / 4 * 4) + 512) / 4];

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

/* Decodes the picture onto the panel; VEXO_OK or the failure. */
static int show_picture(const uint8_t* file, size_t file_size) {
  vexo_info info;
  int status = vexo_read_info(file, file_size, &info);
  if (status != VEXO_OK) return status;
  if (vexo_band_workspace_size(&info) > sizeof workspace) return VEXO_ERROR_WORKSPACE;
  status = vexo_band_begin(workspace, sizeof workspace, file, file_size, 0);
  if (status != VEXO_OK) return status;

  int next = 0; /* the band buffer the next band is decoded into */
  int first_row = 0;
  int rows;
  while ((rows = vexo_band_next(workspace, bands[next], (size_t)info.width, &first_row)) > 0) {
    /* The other buffer may still be on its way to the panel. */
    panel_wait_for_transfer();
    panel_set_window(0, first_row, info.width - 1, first_row + rows - 1);
    panel_start_transfer(bands[next], (size_t)rows * (size_t)info.width);
    next = 1 - next;
  }
  panel_wait_for_transfer();
  return rows;
}

int main(void) {
  const int status = show_picture(example_file, example_file_size);
  if (status != VEXO_OK) return 5;
  if (hash_pixels(panel_pixels(), (size_t)EXAMPLE_WIDTH * EXAMPLE_HEIGHT) != EXAMPLE_PIXEL_HASH) {
    return 7;
  }
  return 0;
}
