// What the dispatch hands to a coding path.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "vexo_status.h"

namespace vexo {

struct PathInput {
  std::span<const uint8_t> file;  // the whole file, header included
  int32_t width;                  // header values, sign-extended
  int32_t height;
  uint8_t quality;
  // The picture: row y starts at image[y x stride]. Spans the width x height
  // pixels (empty when either is below 1) and the gaps between the rows,
  // which are never written. The pixels hold whatever the caller left there;
  // each path must leave the same picture as a decode into a zero-filled
  // buffer, so it clears what it could read before writing and what it never
  // writes.
  std::span<uint16_t> image;
  ptrdiff_t stride;  // pixels from one row's start to the next, at least width
  // Store every pixel with its bytes swapped. Only the transform path looks
  // at it, when it packs; the dispatch swaps the other paths' pixels after
  // they finish, since they predict from the pixels they stored.
  bool byteSwapped;
  // The caller's working memory: at least PathWorkspaceBytes of the file's
  // header, any alignment, any content.
  std::span<uint8_t> workspace;
};

// The pixel at column x of row y.
inline uint16_t& PixelAt(const PathInput& input, int32_t x, int32_t y) {
  return input
      .image[static_cast<size_t>(y) * static_cast<size_t>(input.stride) + static_cast<size_t>(x)];
}

// The pixel at column x of row y of a picture `width` wide whose rows start
// `stride` pixels apart, where a column left of the picture is the end of
// the row above (prediction offsets are linear in a picture whose rows
// follow each other), and anything above the first row is 0.
inline uint16_t LinearSourcePixel(const uint16_t* image, int32_t width, ptrdiff_t stride, int32_t x,
                                  int32_t y) {
  if (x < 0) {
    x += width;
    --y;
  }
  return y >= 0 ? image[static_cast<ptrdiff_t>(y) * stride + x] : 0;
}

// The offset-style result of a path: the offset itself, or -1 when it is not
// positive.
inline int32_t PositiveOrMinusOne(int64_t offset) {
  return offset > 0 ? static_cast<int32_t>(offset) : -1;
}

}  // namespace vexo
