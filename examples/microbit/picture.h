/* A picture the firmware carries in flash, with what the desktop's decode
 * of it gives: the checksum of every band of 4 rows. The sources that
 * define them are made while the firmware is built (microbit_pictures
 * embed, and the list by CMakeLists.txt). */
#ifndef MICROBIT_PICTURE_H
#define MICROBIT_PICTURE_H

#include <stddef.h>
#include <stdint.h>

typedef struct picture {
  const char* name;
  const uint8_t* file;
  size_t file_size;
  /* FNV-1a (32-bit) over each band's pixels, low byte first, row after
   * row, started afresh for every band. */
  const uint32_t* band_checksums;
  int band_count;
} picture;

/* The pictures the program decodes. */
extern const picture* const pictures[];
extern const size_t picture_count;

#endif
