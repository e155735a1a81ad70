/* The two QOI calls the comparison needs, 3-channel RGB. */
#ifndef VEXO_BENCH_QOI_GLUE_H
#define VEXO_BENCH_QOI_GLUE_H

void* QoiEncode(const void* rgb, int width, int height, int* size);
void* QoiDecode(const void* coded, int size, int* width, int* height);

#endif
