// The transform path of codec family 101: three 8-bit colour planes rebuilt
// from 4 x 4 intra predictions and dequantised inverse transforms, then
// packed into 5-6-5 pixels.
#pragma once

#include <cstddef>

#include "common/path_input.h"
#include "transform/transform_format.h"

namespace vexo {

// Decodes a whole transform picture into input.image. The result is the
// offset just past the byte holding the last consumed bit (16 when width or
// height is below 1: nothing is read or written). Fails as malformed for a
// quality above 51, as out of memory when the workspace is smaller than
// TransformWorkspaceBytes, and as truncated when the coded data runs past the end of the
// file.
VexoDecodeResult DecodeTransform(const PathInput& input);

// Bytes of working memory DecodeTransform needs for a picture of this size.
size_t TransformWorkspaceBytes(int32_t width, int32_t height);

// False: the dispatch swaps the bytes of a swapped output afterwards.
constexpr bool TransformSwapsWhilePacking() {
  return false;
}

}  // namespace vexo
