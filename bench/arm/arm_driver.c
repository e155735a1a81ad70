/* arm_driver: decodes one coded picture COUNT times, as the instruction
 * count under qemu-arm needs it.
 *
 *   arm_driver vexo|vexo-bands|vexo-reader|qoi|jpeg FILE COUNT [check]
 *
 * Prints "WIDTHxHEIGHT" of the last decode, and with "check" the checksum
 * of its pixels (left out of the counted runs, where it would only add to
 * the start-up). The start-up, the file read and this line are the same for
 * every COUNT, so the count of COUNT=2 less that of COUNT=1 is exactly one
 * decode. Each decode is what a program
 * showing one picture after another does per picture: ours reads the header
 * and decodes into a buffer kept across pictures (vexo-bands: band by band
 * into one band buffer of 4 rows, as a display without a framebuffer takes
 * them; vexo-reader: the same with the file read through a reader, from
 * the file in memory, with 512 bytes of input buffering); the peers
 * allocate their output, which is freed before the next one. */
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "peers.h"
#include "vexo.h"

typedef struct coded_file {
  unsigned char* bytes;
  size_t size;
} coded_file;

typedef struct decoded {
  int width;
  int height;
  const unsigned char* rgb; /* the last decode's pixels: a peer's RGB */
  const uint16_t* pixels;   /* or our 5-6-5 pixels */
  size_t size;              /* in bytes */
} decoded;

static int ReadWholeFile(const char* name, coded_file* file) {
  FILE* in = fopen(name, "rb");
  if (in == NULL) return 0;
  int ok = fseek(in, 0, SEEK_END) == 0;
  const long size = ok ? ftell(in) : -1;
  ok = size > 0 && fseek(in, 0, SEEK_SET) == 0;
  file->bytes = ok ? malloc((size_t)size) : NULL;
  file->size = (size_t)size;
  ok = file->bytes != NULL && fread(file->bytes, 1, file->size, in) == file->size;
  fclose(in);
  return ok;
}

/* FNV-1a over the bytes: the same checksum the host helper prints for the
 * lossless 5-6-5 picture, so the script can check the cross build. */
static uint32_t Checksum(const unsigned char* bytes, size_t size) {
  uint32_t hash = 2166136261u;
  for (size_t i = 0; i < size; ++i) hash = (hash ^ bytes[i]) * 16777619u;
  return hash;
}

/* The pixels as little-endian bytes whatever the processor's order, so that
 * the checksum matches the host's. */
static uint32_t ChecksumOf(const decoded* out) {
  if (out->rgb != NULL) return Checksum(out->rgb, out->size);
  unsigned char* bytes = malloc(out->size);
  if (bytes == NULL) return 0;
  for (size_t i = 0; i < out->size / 2; ++i) {
    bytes[2 * i] = (unsigned char)(out->pixels[i] & 0xff);
    bytes[2 * i + 1] = (unsigned char)(out->pixels[i] >> 8);
  }
  const uint32_t hash = Checksum(bytes, out->size);
  free(bytes);
  return hash;
}

static int DecodeVexoOnce(const coded_file* file, uint16_t* pixels, size_t pixel_count,
                          void* workspace, size_t workspace_size) {
  vexo_info info;
  if (vexo_read_info(file->bytes, file->size, &info) != VEXO_OK) return 0;
  if ((size_t)info.width * (size_t)info.height != pixel_count) return 0;
  if (vexo_workspace_size(&info) > workspace_size) return 0;
  return vexo_decode(file->bytes, file->size, pixels, (size_t)info.width, 0, workspace,
                     workspace_size, NULL) == VEXO_OK;
}

/* The buffers are sized from the header once, before the decodes. */
static int RunVexo(const coded_file* file, long count, decoded* out) {
  vexo_info info;
  if (vexo_read_info(file->bytes, file->size, &info) != VEXO_OK) return 0;
  if (info.width <= 0 || info.height <= 0) return 0;
  const size_t pixel_count = (size_t)info.width * (size_t)info.height;
  const size_t workspace_size = vexo_workspace_size(&info);
  uint16_t* pixels = malloc(pixel_count * sizeof *pixels);
  void* workspace = malloc(workspace_size > 0 ? workspace_size : 1);
  if (pixels == NULL || workspace == NULL) return 0;
  for (long i = 0; i < count; ++i) {
    if (!DecodeVexoOnce(file, pixels, pixel_count, workspace, workspace_size)) return 0;
  }
  *out = (decoded){info.width, info.height, NULL, pixels, 2 * pixel_count};
  return 1;
}

/* Band by band into one band buffer; with `whole`, each band is copied into
 * it as well (for the checksum, outside the counted runs). */
static int DecodeVexoBands(const coded_file* file, uint16_t* band, size_t width, void* workspace,
                           size_t workspace_size, uint16_t* whole) {
  if (vexo_band_begin(workspace, workspace_size, file->bytes, file->size, 0) != VEXO_OK) return 0;
  int rows = 0;
  int first_row = 0;
  while ((rows = vexo_band_next(workspace, band, width, &first_row)) > 0) {
    if (whole != NULL) memcpy(whole + (size_t)first_row * width, band, (size_t)rows * width * 2);
  }
  return rows == 0;
}

/* The reader of vexo-reader: the file in memory, copied out as a file
 * system would copy it. */
static long ReadFromMemory(void* context, uint32_t offset, uint8_t* buffer, size_t size) {
  const coded_file* file = context;
  memcpy(buffer, file->bytes + offset, size);
  return (long)size;
}

enum { kReaderInputBytes = 512 };

/* As DecodeVexoBands, through a reader. */
static int DecodeVexoBandsRead(const coded_file* file, uint16_t* band, size_t width,
                               void* workspace, size_t workspace_size, uint16_t* whole) {
  const vexo_reader reader = {ReadFromMemory, (void*)file, (uint32_t)file->size};
  if (vexo_band_begin_reader(workspace, workspace_size, &reader, kReaderInputBytes, 0) != VEXO_OK) {
    return 0;
  }
  int rows = 0;
  int first_row = 0;
  while ((rows = vexo_band_next(workspace, band, width, &first_row)) > 0) {
    if (whole != NULL) memcpy(whole + (size_t)first_row * width, band, (size_t)rows * width * 2);
  }
  return rows == 0;
}

static int RunVexoBands(const coded_file* file, long count, int check, int read, decoded* out) {
  vexo_info info;
  if (vexo_read_info(file->bytes, file->size, &info) != VEXO_OK) return 0;
  if (info.width <= 0 || info.height <= 0) return 0;
  const size_t width = (size_t)info.width;
  const size_t pixel_count = width * (size_t)info.height;
  const size_t workspace_size = read ? vexo_band_reader_workspace_size(&info, kReaderInputBytes)
                                     : vexo_band_workspace_size(&info);
  uint16_t* band = malloc(4 * width * sizeof *band);
  void* workspace = malloc(workspace_size);
  uint16_t* whole = check ? malloc(pixel_count * sizeof *whole) : NULL;
  if (band == NULL || workspace == NULL || (check && whole == NULL)) return 0;
  for (long i = 0; i < count; ++i) {
    if (!(read ? DecodeVexoBandsRead : DecodeVexoBands)(file, band, width, workspace,
                                                        workspace_size, whole)) {
      return 0;
    }
  }
  *out = (decoded){info.width, info.height, NULL, check ? whole : band,
                   2 * (check ? pixel_count : 4 * width)};
  return 1;
}

typedef unsigned char* (*peer_decode)(const unsigned char* coded, size_t size, int* width,
                                      int* height);

static int RunPeer(peer_decode decode, const coded_file* file, long count, decoded* out) {
  unsigned char* rgb = NULL;
  int width = 0;
  int height = 0;
  for (long i = 0; i < count; ++i) {
    free(rgb);
    rgb = decode(file->bytes, file->size, &width, &height);
    if (rgb == NULL) return 0;
  }
  *out = (decoded){width, height, rgb, NULL, 3 * (size_t)width * (size_t)height};
  return 1;
}

static int Run(const char* codec, const coded_file* file, long count, int check, decoded* out) {
  if (strcmp(codec, "vexo") == 0) return RunVexo(file, count, out);
  if (strcmp(codec, "vexo-bands") == 0) return RunVexoBands(file, count, check, 0, out);
  if (strcmp(codec, "vexo-reader") == 0) return RunVexoBands(file, count, check, 1, out);
  if (strcmp(codec, "qoi") == 0) return RunPeer(PeerQoiDecode, file, count, out);
  if (strcmp(codec, "jpeg") == 0) return RunPeer(PeerJpegDecode, file, count, out);
  fprintf(stderr, "arm_driver: unknown codec \"%s\" (vexo, vexo-bands, vexo-reader, qoi or jpeg)\n",
          codec);
  return 0;
}

int main(int argc, char** argv) {
  const int check = argc == 5 && strcmp(argv[4], "check") == 0;
  if (argc != 4 && !check) {
    fprintf(stderr, "usage: arm_driver vexo|vexo-bands|vexo-reader|qoi|jpeg FILE COUNT [check]\n");
    return 2;
  }
  const long count = strtol(argv[3], NULL, 10);
  coded_file file;
  if (count < 1 || !ReadWholeFile(argv[2], &file)) {
    fprintf(stderr, "arm_driver: cannot read %s, or COUNT is not a positive number\n", argv[2]);
    return 2;
  }
  decoded out;
  if (!Run(argv[1], &file, count, check, &out)) {
    fprintf(stderr, "arm_driver: %s: the %s decode failed\n", argv[2], argv[1]);
    return 1;
  }
  printf("%dx%d", out.width, out.height);
  if (check) printf(" %08lx", (unsigned long)ChecksumOf(&out));
  printf("\n");
  return 0;
}
