/* Decodes one VEXO file with the decoder's C interface and prints
 * "family status result hash": the codec family, the status, the path's
 * result and an FNV-1a hash of the pixels (low byte first), as the
 * regression table tests/regression/pixel-hashes.txt holds them.
 *
 * C99 and vexo.h only; links with a C compiler alone:
 *   cc -std=c99 vexo_decode_file.c $(pkg-config --cflags --libs vexo)
 *
 * Usage: vexo_decode_file FILE.vxo. Exits 0 when the decode succeeds. */
#include <inttypes.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "vexo.h"

/* The whole of a file, read in growing chunks so that pipes work too. */
static uint8_t* read_whole_file(const char* path, size_t* size) {
  FILE* stream = fopen(path, "rb");
  if (stream == NULL) return NULL;
  size_t capacity = 1 << 16;
  size_t used = 0;
  uint8_t* bytes = malloc(capacity);
  while (bytes != NULL) {
    used += fread(bytes + used, 1, capacity - used, stream);
    if (used < capacity) break;
    uint8_t* larger = realloc(bytes, capacity * 2);
    if (larger == NULL) free(bytes);
    bytes = larger;
    capacity *= 2;
  }
  if (bytes != NULL && ferror(stream)) {
    free(bytes);
    bytes = NULL;
  }
  fclose(stream);
  *size = used;
  return bytes;
}

/* The names the command line and the regression table use. -7 is also the
 * C++ interface's out-of-memory; here it can only mean that the workspace
 * could not be allocated. */
static const char* status_name(int status) {
  switch (status) {
    case VEXO_OK:
      return "ok";
    case VEXO_ERROR_BAD_MAGIC:
      return "bad-magic";
    case VEXO_ERROR_BAD_VERSION:
      return "bad-version";
    case VEXO_ERROR_TRUNCATED:
      return "truncated";
    case VEXO_ERROR_MALFORMED:
      return "malformed";
    case VEXO_ERROR_WORKSPACE:
      return "out-of-memory";
  }
  return "unknown";
}

/* FNV-1a over the pixels, each low byte first. */
static uint64_t hash_pixels(const uint16_t* pixels, size_t count) {
  uint64_t hash = UINT64_C(0xcbf29ce484222325);
  for (size_t i = 0; i < count; ++i) {
    hash = (hash ^ (uint8_t)(pixels[i] & 0xff)) * UINT64_C(0x100000001b3);
    hash = (hash ^ (uint8_t)(pixels[i] >> 8)) * UINT64_C(0x100000001b3);
  }
  return hash;
}

/* A picture with a side of 0 or above 32767 (negative here) has no pixels. */
static size_t pixel_count(const vexo_info* info) {
  if (info->width <= 0 || info->height <= 0) return 0;
  return (size_t)info->width * (size_t)info->height;
}

/* Decodes into zero-filled pixels, so that a partial picture hashes the same
 * on every run; prints the line and returns the status. */
static int decode_and_print(const uint8_t* file, size_t file_size, const vexo_info* info) {
  const size_t count = pixel_count(info);
  const size_t stride = count > 0 ? (size_t)info->width : 0;
  const size_t workspace_size = vexo_workspace_size(info);
  uint16_t* pixels = count > 0 ? calloc(count, sizeof *pixels) : NULL;
  void* workspace = workspace_size > 0 ? malloc(workspace_size) : NULL;
  const int allocated =
      (count == 0 || pixels != NULL) && (workspace_size == 0 || workspace != NULL);
  int32_t result = -1;
  const int status = allocated ? vexo_decode(file, file_size, pixels, stride, 0, workspace,
                                             workspace_size, &result)
                               : VEXO_ERROR_WORKSPACE;
  printf("%d %s %" PRId32 " %016" PRIx64 "\n", info->family, status_name(status), result,
         hash_pixels(pixels, allocated ? count : 0));
  free(workspace);
  free(pixels);
  return status;
}

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: %s FILE.vxo\n", argv[0]);
    return 2;
  }
  size_t file_size = 0;
  uint8_t* file = read_whole_file(argv[1], &file_size);
  if (file == NULL) {
    fprintf(stderr, "%s: cannot read the file\n", argv[1]);
    return 1;
  }
  vexo_info info;
  int status = vexo_read_info(file, file_size, &info);
  if (status == VEXO_OK) {
    status = decode_and_print(file, file_size, &info);
  } else {
    fprintf(stderr, "%s: %s\n", argv[1], vexo_status_text(status));
  }
  free(file);
  return status == VEXO_OK ? 0 : 1;
}
