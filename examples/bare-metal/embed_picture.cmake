# Writes a VEXO file into a C source as a constant array, and a header with
# what the program needs to know about it: its size, the buffers it takes,
# and the result and pixel hash the desktop build decodes it to (from the
# regression test's list).
#
#   cmake -DPICTURE=<file.vxo> -DHASHES=<pixel-hashes.txt> -DLISTED_AS=samples/<name>
#         -DOUT_C=<source.c> -DOUT_H=<header.h> -P embed_picture.cmake
file(READ ${PICTURE} bytes HEX)
string(LENGTH "${bytes}" digits)
math(EXPR size "${digits} / 2")

# The header's little-endian 16-bit sides, the path flag and the version.
string(SUBSTRING "${bytes}" 8 4 width_hex)
string(SUBSTRING "${bytes}" 12 4 height_hex)
string(SUBSTRING "${bytes}" 18 2 path_flag_hex)
string(SUBSTRING "${bytes}" 22 2 version_hex)
macro(le16 hex out)
  string(SUBSTRING "${hex}" 0 2 low)
  string(SUBSTRING "${hex}" 2 2 high)
  math(EXPR ${out} "0x${high}${low}")
endmacro()
le16(${width_hex} width)
le16(${height_hex} height)
math(EXPR path_flag "0x${path_flag_hex}")
math(EXPR version "0x${version_hex}")
# Room for the working memory, by the bounds the library keeps to: a whole
# decode needs none but on the transform path (family 101, path flag set),
# a band-by-band decode 2 x the width + 256 bytes, or on the transform path
# 4 x the width rounded up to whole blocks + 512; each program checks what
# the library asks for against it.
math(EXPR padded_width "(${width} + 3) / 4 * 4")
set(workspace 0)
math(EXPR band_workspace "2 * ${width} + 256")
if(version EQUAL 101 AND NOT path_flag EQUAL 0)
  math(EXPR workspace "3 * ${padded_width} + 28")
  math(EXPR band_workspace "4 * ${padded_width} + 512")
endif()

file(STRINGS ${HASHES} listed REGEX "^${LISTED_AS} ")
if(NOT listed MATCHES "^[^ ]+ [0-9]+ ok (-?[0-9]+) ([0-9a-f]+)$")
  message(FATAL_ERROR "${LISTED_AS} has no line of a whole decode in ${HASHES}")
endif()
set(result ${CMAKE_MATCH_1})
set(hash ${CMAKE_MATCH_2})

string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," array "${bytes}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n  "
                     array "${array}")
file(WRITE ${OUT_C} "/* ${LISTED_AS}, written by embed_picture.cmake. */
#include \"example_picture.h\"

const uint8_t example_file[${size}] = {
  ${array}
};
const size_t example_file_size = sizeof example_file;
")
file(WRITE ${OUT_H} "/* What the program knows of ${LISTED_AS}. */
#ifndef EXAMPLE_PICTURE_H
#define EXAMPLE_PICTURE_H

#include <stddef.h>
#include <stdint.h>

#define EXAMPLE_WIDTH ${width}
#define EXAMPLE_HEIGHT ${height}
#define EXAMPLE_WORKSPACE_BYTES ${workspace}
#define EXAMPLE_BAND_WORKSPACE_BYTES ${band_workspace}
#define EXAMPLE_RESULT ${result}
#define EXAMPLE_PIXEL_HASH 0x${hash}ull

extern const uint8_t example_file[];
extern const size_t example_file_size;

#endif
")
