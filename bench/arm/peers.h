/* The two peers the ARM count runs, each one whole decode to 8-bit RGB as
 * its library offers it: QOI and stb_image's JPEG decoder. Built with the
 * same compiler and flags as our decoder. */
#ifndef VEXO_BENCH_ARM_PEERS_H
#define VEXO_BENCH_ARM_PEERS_H

#include <stddef.h>

/* Each returns RGB pixels from malloc (for free), or NULL on failure. */
unsigned char* PeerQoiDecode(const unsigned char* coded, size_t size, int* width, int* height);
unsigned char* PeerJpegDecode(const unsigned char* coded, size_t size, int* width, int* height);

#endif
