/* A stand-in for a display panel on an SPI bus, which keeps the picture in
 * its own memory: a window is set, then pixels are streamed into it row by
 * row, by a DMA transfer that runs while the processor goes on. */
#ifndef PANEL_H
#define PANEL_H

#include <stddef.h>
#include <stdint.h>

/* The window the next transfer fills, corners included, in panel pixels. */
void panel_set_window(int x0, int y0, int x1, int y1);

/* Starts sending `count` pixels to the window; the buffer must not change
 * until panel_wait_for_transfer returns. */
void panel_start_transfer(const uint16_t* pixels, size_t count);

/* Waits until the transfer started last is done (at once if none is). */
void panel_wait_for_transfer(void);

/* The panel's memory, for the check: EXAMPLE_WIDTH x EXAMPLE_HEIGHT pixels. */
const uint16_t* panel_pixels(void);

#endif
