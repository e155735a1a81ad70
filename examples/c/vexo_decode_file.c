/* Decodes one VEXO file with the decoder's C interface and prints
 * "family status result hash": the codec family, the status, the path's
 * result and an FNV-1a hash of the pixels (low byte first), as the
 * regression table tests/regression/pixel-hashes.txt holds them.
 *
 * With --bands it decodes the file band by band instead, four rows at a
 * time into one small band buffer, hashing the rows as they come, and
 * prints "family status hash" (a band decode has no result). With --read
 * it does the same without reading the file into memory: the decoder reads
 * it through a reader that calls pread, with 512 bytes of input buffering,
 * as firmware reads a picture from an SD card through its file system.
 *
 * C99, POSIX's pread and vexo.h only; links with a C compiler alone:
 *   cc -std=c99 vexo_decode_file.c $(pkg-config --cflags --libs vexo)
 *
 * Usage: vexo_decode_file [--bands|--read] FILE.vxo. Exits 0 when the
 * decode succeeds. */
#define _POSIX_C_SOURCE 200809L

#include <fcntl.h>
#include <inttypes.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

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

/* The names the command line and the regression table use. */
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
      return "workspace";
    case VEXO_ERROR_READ:
      return "read";
  }
  return "unknown";
}

#define HASH_START UINT64_C(0xcbf29ce484222325)

/* FNV-1a over the pixels, each low byte first, continuing `hash`. */
static uint64_t hash_more_pixels(uint64_t hash, const uint16_t* pixels, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    hash = (hash ^ (uint8_t)(pixels[i] & 0xff)) * UINT64_C(0x100000001b3);
    hash = (hash ^ (uint8_t)(pixels[i] >> 8)) * UINT64_C(0x100000001b3);
  }
  return hash;
}

static uint64_t hash_pixels(const uint16_t* pixels, size_t count) {
  return hash_more_pixels(HASH_START, pixels, count);
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

/* Decodes band by band into one band buffer of four rows, hashing each band
 * as it comes; prints the line and returns the status. */
static int decode_bands_and_print(const uint8_t* file, size_t file_size, const vexo_info* info) {
  const size_t width = pixel_count(info) > 0 ? (size_t)info->width : 0;
  const size_t workspace_size = vexo_band_workspace_size(info);
  uint16_t* band = width > 0 ? malloc(4 * width * sizeof *band) : NULL;
  void* workspace = malloc(workspace_size);
  uint64_t hash = HASH_START;
  int status = VEXO_ERROR_WORKSPACE;
  if ((width == 0 || band != NULL) && workspace != NULL) {
    status = vexo_band_begin(workspace, workspace_size, file, file_size, 0);
    int rows = 0;
    int first_row = 0;
    while (status == VEXO_OK && (rows = vexo_band_next(workspace, band, width, &first_row)) > 0) {
      hash = hash_more_pixels(hash, band, (size_t)rows * width);
    }
    if (status == VEXO_OK) status = rows;
  }
  printf("%d %s %016" PRIx64 "\n", info->family, status_name(status), hash);
  free(workspace);
  free(band);
  return status;
}

/* The reader the decoder calls: the file descriptor is the context. */
static long read_file(void* context, uint32_t offset, uint8_t* buffer, size_t size) {
  const int descriptor = *(const int*)context;
  size_t done = 0;
  while (done < size) {
    const ssize_t got = pread(descriptor, buffer + done, size - done, (off_t)offset + (off_t)done);
    if (got < 0) return -1;
    if (got == 0) break;
    done += (size_t)got;
  }
  return (long)done;
}

enum { INPUT_BYTES = 512 };

/* Decodes band by band through the reader; prints as --bands does. */
static int read_bands_and_print(const char* path) {
  int descriptor = open(path, O_RDONLY);
  struct stat facts;
  /* The size compared as a uint64_t: off_t may have 32 bits. A folder
   * opens, but has no bytes to read. */
  if (descriptor < 0 || fstat(descriptor, &facts) != 0 || !S_ISREG(facts.st_mode) ||
      (uint64_t)facts.st_size > UINT32_MAX) {
    fprintf(stderr, "%s: cannot read the file\n", path);
    if (descriptor >= 0) close(descriptor);
    return VEXO_ERROR_READ;
  }
  const vexo_reader reader = {read_file, &descriptor, (uint32_t)facts.st_size};
  uint8_t head[12];
  vexo_info info;
  int status = read_file(&descriptor, 0, head, sizeof head) == (long)sizeof head
                   ? vexo_read_info(head, sizeof head, &info)
                   : VEXO_ERROR_TRUNCATED;
  const int known = status == VEXO_OK;
  const size_t width = status == VEXO_OK && pixel_count(&info) > 0 ? (size_t)info.width : 0;
  const size_t workspace_size =
      vexo_band_reader_workspace_size(status == VEXO_OK ? &info : NULL, INPUT_BYTES);
  uint16_t* band = width > 0 ? malloc(4 * width * sizeof *band) : NULL;
  void* workspace = malloc(workspace_size);
  uint64_t hash = HASH_START;
  if (status == VEXO_OK && (width == 0 || band != NULL) && workspace != NULL) {
    status = vexo_band_begin_reader(workspace, workspace_size, &reader, INPUT_BYTES, 0);
    int rows = 0;
    int first_row = 0;
    while (status == VEXO_OK && (rows = vexo_band_next(workspace, band, width, &first_row)) > 0) {
      hash = hash_more_pixels(hash, band, (size_t)rows * width);
    }
    if (status == VEXO_OK) status = rows;
  }
  if (known) {
    printf("%d %s %016" PRIx64 "\n", info.family, status_name(status), hash);
  } else {
    fprintf(stderr, "%s: %s\n", path, vexo_status_text(status));
  }
  free(workspace);
  free(band);
  close(descriptor);
  return status;
}

int main(int argc, char** argv) {
  const int bands = argc == 3 && strcmp(argv[1], "--bands") == 0;
  const int read = argc == 3 && strcmp(argv[1], "--read") == 0;
  if (argc != 2 + (bands || read)) {
    fprintf(stderr, "usage: %s [--bands|--read] FILE.vxo\n", argv[0]);
    return 2;
  }
  const char* path = argv[argc - 1];
  if (read) return read_bands_and_print(path) == VEXO_OK ? 0 : 1;
  size_t file_size = 0;
  uint8_t* file = read_whole_file(path, &file_size);
  if (file == NULL) {
    fprintf(stderr, "%s: cannot read the file\n", path);
    return 1;
  }
  vexo_info info;
  int status = vexo_read_info(file, file_size, &info);
  if (status == VEXO_OK) {
    status = bands ? decode_bands_and_print(file, file_size, &info)
                   : decode_and_print(file, file_size, &info);
  } else {
    fprintf(stderr, "%s: %s\n", path, vexo_status_text(status));
  }
  free(file);
  return status == VEXO_OK ? 0 : 1;
}
