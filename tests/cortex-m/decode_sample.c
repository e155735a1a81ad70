/* One sample decoded on a Cortex-M core and checked against the desktop
 * build's decode: status, result and the hash of the pixels, which the
 * program computes over the picture's rows as they are delivered, from the
 * top, a block row of 4 at a time. The file is a constant array in flash
 * (example_picture.c, made by embed_picture.cmake); the pixels and the
 * working memory come from the machine's picture RAM. Then the same band by
 * band through a reader, as from serial flash, with two input buffer sizes:
 * the pixel hash again (a band decode has no result).
 *
 * Exits with EXIT_PASSED, EXIT_FAILED, or EXIT_SKIPPED when the machine has
 * too little RAM for the decode. */
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include "example_picture.h"
#include "semihosting.h"
#include "vexo.h"

#ifndef SAMPLE_NAME
#error "SAMPLE_NAME names the embedded sample"
#endif

/* From the machine's linker script. */
extern uint8_t __picture_ram_start__[], __picture_ram_end__[];

enum { kRowsPerBand = 4 };

/* FNV-1a over the pixels, low byte first, row after row: the hash the
 * regression test keeps for every sample. */
typedef struct row_hash {
  uint64_t hash;
  int width;
  int next_row; /* rows must come in order, each once */
} row_hash;

static void row_hash_start(row_hash* hash, int width) {
  hash->hash = 0xcbf29ce484222325ull;
  hash->width = width;
  hash->next_row = 0;
}

/* Adds `count` rows, the first of which is picture row `first_row`; row i
 * starts at rows + i * stride. 0 when they are not the next rows. */
static int row_hash_add(row_hash* hash, const uint16_t* rows, size_t stride, int first_row,
                        int count) {
  if (first_row != hash->next_row) return 0;
  uint64_t h = hash->hash;
  for (int y = 0; y < count; ++y) {
    const uint16_t* pixel = rows + (size_t)y * stride;
    for (int x = 0; x < hash->width; ++x) {
      h = (h ^ (pixel[x] & 0xFFu)) * 0x100000001b3ull;
      h = (h ^ (pixel[x] >> 8)) * 0x100000001b3ull;
    }
  }
  hash->hash = h;
  hash->next_row += count;
  return 1;
}

/* Memory taken from the picture RAM in order, 4-byte aligned. */
typedef struct memory_pool {
  uint8_t* next;
  uint8_t* end;
} memory_pool;

static void* pool_take(memory_pool* pool, size_t bytes) {
  const size_t rounded = (bytes + 3u) & ~(size_t)3u;
  if (rounded > (size_t)(pool->end - pool->next)) return NULL;
  void* taken = pool->next;
  pool->next += rounded;
  return taken;
}

/* Not a status: the decode did not run for want of memory. */
enum { kNeedsMoreMemory = 1 };

/* The whole picture at once, then its rows to the hash a band at a time,
 * as a band-by-band decode delivers them. Returns the decode's status. */
static int decode_whole(const vexo_info* info, memory_pool* pool, row_hash* hash, int32_t* result) {
  const size_t width = (size_t)info->width;
  const size_t workspace_size = vexo_workspace_size(info);
  uint16_t* pixels = pool_take(pool, width * (size_t)info->height * sizeof *pixels);
  void* workspace = pool_take(pool, workspace_size);
  if (pixels == NULL || workspace == NULL) return kNeedsMoreMemory;
  const int status = vexo_decode(example_file, example_file_size, pixels, width, 0, workspace,
                                 workspace_size, result);
  if (status != VEXO_OK) return status;
  for (int row = 0; row < info->height; row += kRowsPerBand) {
    const int rows = info->height - row < kRowsPerBand ? info->height - row : kRowsPerBand;
    if (!row_hash_add(hash, pixels + (size_t)row * width, width, row, rows)) break;
  }
  return VEXO_OK;
}

/* The reader of the decode through a reader: the embedded file, copied out
 * as from serial flash. The decoder asks only for bytes inside the file. */
static long read_example(void* context, uint32_t offset, uint8_t* buffer, size_t size) {
  (void)context;
  if (offset > example_file_size || size > example_file_size - offset) return -1;
  memcpy(buffer, example_file + offset, size);
  return (long)size;
}

/* Band by band through read_example with `input_bytes` of input buffering,
 * the rows to the hash as they come. Returns the decode's status. */
static int decode_through_reader(const vexo_info* info, memory_pool* pool, size_t input_bytes,
                                 row_hash* hash) {
  const size_t width = (size_t)info->width;
  const size_t workspace_size = vexo_band_reader_workspace_size(info, input_bytes);
  uint16_t* band = pool_take(pool, kRowsPerBand * width * sizeof *band);
  void* workspace = pool_take(pool, workspace_size);
  if (band == NULL || workspace == NULL) return kNeedsMoreMemory;
  const vexo_reader reader = {read_example, NULL, (uint32_t)example_file_size};
  const int status = vexo_band_begin_reader(workspace, workspace_size, &reader, input_bytes, 0);
  if (status != VEXO_OK) return status;
  int first_row = 0;
  int rows = 0;
  while ((rows = vexo_band_next(workspace, band, width, &first_row)) > 0) {
    if (!row_hash_add(hash, band, width, first_row, rows)) break;
  }
  return rows < 0 ? rows : VEXO_OK;
}

/* Says what failed, after the sample's name; the rest of the line is
 * `number` and `then`, when given. */
static int fail(const char* what, const int32_t* number, const char* then) {
  semihosting_write(SAMPLE_NAME ": ");
  semihosting_write(what);
  if (number != NULL) semihosting_write_decimal(*number);
  if (then != NULL) semihosting_write(then);
  semihosting_write("\n");
  return EXIT_FAILED;
}

int main(void) {
  vexo_info info;
  if (vexo_read_info(example_file, example_file_size, &info) != VEXO_OK) {
    return fail("the header does not read", NULL, NULL);
  }
  if (info.width != EXAMPLE_WIDTH || info.height != EXAMPLE_HEIGHT) {
    return fail("the header gives other sides", NULL, NULL);
  }
  memory_pool pool = {__picture_ram_start__, __picture_ram_end__};
  row_hash hash;
  row_hash_start(&hash, info.width);
  int32_t result = 0;
  const int32_t status = decode_whole(&info, &pool, &hash, &result);
  if (status == kNeedsMoreMemory) {
    semihosting_write(SAMPLE_NAME ": needs more memory than the machine's picture RAM\n");
    return EXIT_SKIPPED;
  }
  if (status != VEXO_OK) return fail("status ", &status, ", where the desktop decodes it");
  if (result != EXAMPLE_RESULT) return fail("result ", &result, ", not the desktop's");
  if (hash.next_row != info.height) return fail("rows missing or out of order", NULL, NULL);
  if (hash.hash != EXAMPLE_PIXEL_HASH) {
    semihosting_write(SAMPLE_NAME ": pixel hash ");
    semihosting_write_hex(hash.hash, 16);
    semihosting_write(", not the desktop's\n");
    return EXIT_FAILED;
  }
  static const size_t kInputSizes[] = {100, 512};
  for (size_t i = 0; i < sizeof kInputSizes / sizeof kInputSizes[0]; ++i) {
    pool.next = __picture_ram_start__;
    row_hash_start(&hash, info.width);
    const int32_t read_status = decode_through_reader(&info, &pool, kInputSizes[i], &hash);
    const int32_t input = (int32_t)kInputSizes[i];
    if (read_status != VEXO_OK) return fail("through a reader with input ", &input, ": not OK");
    if (hash.next_row != info.height || hash.hash != EXAMPLE_PIXEL_HASH) {
      return fail("through a reader with input ", &input, ": other pixels than the desktop's");
    }
  }
  semihosting_write(SAMPLE_NAME ": decodes as on the desktop, whole and through a reader\n");
  return EXIT_PASSED;
}
