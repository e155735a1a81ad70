/* The stand-in panel: its memory is an array, and a transfer copies the
 * pixels into the window at once, row by row as the panel's address
 * counter moves. A real panel driver would program the controller's window
 * (column and row address commands) and hand the buffer to the SPI
 * peripheral's DMA channel; panel_wait_for_transfer would wait for its
 * completion flag. */
#include "panel.h"

#include "example_picture.h"

static uint16_t memory[EXAMPLE_WIDTH * EXAMPLE_HEIGHT];
static int window_x0, window_x1, window_y1;
static int at_x, at_y;

void panel_set_window(int x0, int y0, int x1, int y1) {
  window_x0 = x0;
  window_x1 = x1;
  window_y1 = y1;
  at_x = x0;
  at_y = y0;
}

void panel_start_transfer(const uint16_t* pixels, size_t count) {
  for (size_t i = 0; i < count && at_y <= window_y1; ++i) {
    memory[at_y * EXAMPLE_WIDTH + at_x] = pixels[i];
    if (++at_x > window_x1) {
      at_x = window_x0;
      ++at_y;
    }
  }
}

void panel_wait_for_transfer(void) {}

const uint16_t* panel_pixels(void) {
  return memory;
}
