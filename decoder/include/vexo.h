/* The VEXO decoder's C interface.
 *
 * Plain C99 functions over memory the caller owns: the decoder allocates
 * nothing, keeps no global or thread-local state and calls no C++ runtime,
 * so it runs on a bare-metal device and through any foreign-function
 * interface. Every call is re-entrant; decodes may run on many threads at
 * once as long as each has its own output and workspace.
 *
 * A whole picture into a whole-picture buffer:
 *
 *   vexo_info info;
 *   if (vexo_read_info(file, file_size, &info) != VEXO_OK) ...;
 *   size_t need = vexo_workspace_size(&info);      // 0 unless transform path
 *   int32_t result;
 *   int status = vexo_decode(file, file_size, pixels, info.width, 0,
 *                            workspace, need, &result);
 *
 * Or band by band, 4 rows at a time, for a display without a framebuffer:
 *
 *   size_t need = vexo_band_workspace_size(&info);  // about 2 x the width
 *   if (vexo_band_begin(workspace, need, file, file_size, 0) != VEXO_OK) ...;
 *   int first_row, rows;
 *   while ((rows = vexo_band_next(workspace, band, info.width, &first_row)) > 0)
 *     send_to_panel(band, first_row, rows);
 *   if (rows < 0) ...;                              // a status, as vexo_decode's
 *
 * No call ever reads outside the file or writes outside the picture.
 */
#ifndef VEXO_H
#define VEXO_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define VEXO_VERSION_MAJOR 0
#define VEXO_VERSION_MINOR 3
#define VEXO_VERSION_PATCH 0

/* Status codes: 0 or negative. */
#define VEXO_OK 0
/* The first four bytes are not "VEXO" (or the file is shorter than four). */
#define VEXO_ERROR_BAD_MAGIC (-1)
/* The version byte names neither codec family 101 nor 201. */
#define VEXO_ERROR_BAD_VERSION (-4)
/* The decode needed data outside the file, or the file is shorter than its
 * 12-byte header. The output then holds a partial picture. */
#define VEXO_ERROR_TRUNCATED (-5)
/* A value outside the format (a transform quality above 51), or an unusable
 * output: no pixels for a picture, or a stride below the width. */
#define VEXO_ERROR_MALFORMED (-6)
/* The workspace is missing or smaller than vexo_workspace_size (or
 * vexo_band_workspace_size) says, or vexo_band_next was given a workspace
 * that no vexo_band_begin set up. */
#define VEXO_ERROR_WORKSPACE (-7)
/* A read failed or returned fewer bytes than the file holds there. */
#define VEXO_ERROR_READ (-8)

/* The coding paths. */
#define VEXO_PATH_PREDICTIVE 0
#define VEXO_PATH_TRANSFORM 1
#define VEXO_PATH_FAST 2

/* vexo_decode and vexo_band_begin flags. */
/* Store every pixel with its two bytes swapped (high byte first in memory on
 * a little-endian processor), as many SPI display controllers take them. */
#define VEXO_OUTPUT_BYTE_SWAPPED 1u

/* The 12-byte header of a file. */
typedef struct vexo_info {
  int width;  /* signed 16-bit: a side above 32767 reads negative, and such a */
  int height; /* picture, like one with a side of 0, has no pixels */
  int depth_flag;
  int path_flag;
  int quality;
  int codec_version;
  int family; /* 101 or 201 */
  int path;   /* VEXO_PATH_PREDICTIVE, VEXO_PATH_TRANSFORM or VEXO_PATH_FAST */
} vexo_info;

/* Reads the header of a file of file_size bytes. Fails with
 * VEXO_ERROR_BAD_MAGIC, VEXO_ERROR_TRUNCATED (shorter than 12 bytes) or
 * VEXO_ERROR_BAD_VERSION; *info is written only on VEXO_OK. */
int vexo_read_info(const uint8_t* file, size_t file_size, vexo_info* info);

/* Bytes of working memory a decode of this picture needs: 0 on the
 * predictive and fast paths and for a picture without pixels; on the
 * transform path 3 x the width rounded up to a multiple of 4, plus 28. */
size_t vexo_workspace_size(const vexo_info* info);

/* Decodes a whole file with the family its version byte names.
 *
 * pixels: the top-left pixel of the picture; row y starts stride pixels after
 * row y - 1 (stride >= width). Only the width x height picture pixels are
 * written, never those between the width and the stride. The pixels equal a
 * decode into rows of exactly the width, copied row by row.
 * flags: 0 or VEXO_OUTPUT_BYTE_SWAPPED.
 * workspace: vexo_workspace_size bytes, any alignment (may be NULL when that
 * size is 0); its content on entry does not matter.
 * result: if not NULL, receives the path's result on VEXO_OK: the file offset
 * up to which the path consumed data, or -1 when that offset is not positive.
 *
 * Returns VEXO_OK or a status code. */
int vexo_decode(const uint8_t* file, size_t file_size, uint16_t* pixels, size_t stride,
                unsigned flags, void* workspace, size_t workspace_size, int32_t* result);

/* Bytes of working memory a band-by-band decode of this picture needs
 * (0 is never returned: the decoder's state lives there too). */
size_t vexo_band_workspace_size(const vexo_info* info);

/* Starts a band-by-band decode of a file of file_size bytes with the family its
 * version byte names. flags: 0 or VEXO_OUTPUT_BYTE_SWAPPED. The file's bytes
 * must stay in place until the last band. Returns VEXO_OK; a failure the header
 * alone shows (those of vexo_read_info, checked first; a transform quality above
 * 51 may fail here or at the first vexo_band_next); or VEXO_ERROR_WORKSPACE when
 * workspace is NULL or smaller than vexo_band_workspace_size. The workspace may
 * have any alignment. */
int vexo_band_begin(void* workspace, size_t workspace_size, const uint8_t* file, size_t file_size,
                    unsigned flags);

/* Writes the next band, the next 1 to 4 picture rows (one block row), into
 * rows: row i of the band starts at rows + i * stride (stride in pixels, at
 * least the width); only the width pixels of each row are written. Sets
 * *first_row to the picture row of the band's first row. Returns the number
 * of rows written; 0 once the whole picture has been delivered (and on every
 * later call); or a negative status, which every later call returns again.
 * Bands cover the picture's rows in order, 4 at a time, the last one holding
 * the height mod 4 rows that are left, if any (rows a path never writes come
 * out as 0, as in the whole decode). rows may be a different buffer on every
 * call. */
int vexo_band_next(void* workspace, uint16_t* rows, size_t stride, int* first_row);

/* A file read through the caller's function: from serial flash, an SD card
 * or a file system, a few hundred bytes at a time. */
typedef struct vexo_reader {
  /* Copies up to size bytes of the file, from offset on, into buffer and
   * returns how many it copied: size, or fewer only where the file ends.
   * A negative value reports a read error. */
  long (*read)(void* context, uint32_t offset, uint8_t* buffer, size_t size);
  void* context;
  uint32_t file_size;
} vexo_reader;

/* Workspace of a band-by-band decode whose file comes through a reader, with
 * input_bytes of input buffering for all its streams together. */
size_t vexo_band_reader_workspace_size(const vexo_info* info, size_t input_bytes);

/* As vexo_band_begin, with the file read through reader (which must stay valid
 * until the last band). input_bytes: at least 64; the decoder never asks the
 * reader for more than input_bytes at once, and only for bytes inside the file
 * (offset + size <= file_size). The header comes first: a file_size below 12
 * gives VEXO_ERROR_TRUNCATED, a failed read of it VEXO_ERROR_READ, a header
 * that reads but fails its own status; then VEXO_ERROR_WORKSPACE for a short
 * workspace or input_bytes below 64. */
int vexo_band_begin_reader(void* workspace, size_t workspace_size, const vexo_reader* reader,
                           size_t input_bytes, unsigned flags);

/* A short English description of a status code ("ok", "the file is
 * truncated", ...); never NULL. */
const char* vexo_status_text(int status);

/* The library's version, "MAJOR.MINOR.PATCH". */
const char* vexo_version(void);

#ifdef __cplusplus
}
#endif

#endif /* VEXO_H */
