# Writes a VEXO file into a C source as a constant array, and a header with
# what the program needs to know about it: its sides, and the result and
# pixel hash the desktop build decodes it to (from the regression test's
# list). The workspace it needs the library itself says, at run time.
#
#   cmake -DPICTURE=<file.vxo> -DHASHES=<pixel-hashes.txt> -DLISTED_AS=samples/<name>
#         -DOUT_C=<source.c> -DOUT_H=<header.h> -P embed_picture.cmake
file(READ ${PICTURE} bytes HEX)
string(LENGTH "${bytes}" digits)
math(EXPR size "${digits} / 2")

# The header's little-endian 16-bit sides.
string(SUBSTRING "${bytes}" 8 4 width_hex)
string(SUBSTRING "${bytes}" 12 4 height_hex)
macro(le16 hex out)
  string(SUBSTRING "${hex}" 0 2 low)
  string(SUBSTRING "${hex}" 2 2 high)
  math(EXPR ${out} "0x${high}${low}")
endmacro()
le16(${width_hex} width)
le16(${height_hex} height)

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
#define EXAMPLE_RESULT ${result}
#define EXAMPLE_PIXEL_HASH 0x${hash}ull

extern const uint8_t example_file[];
extern const size_t example_file_size;

#endif
")
