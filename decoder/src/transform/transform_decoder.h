// The transform path of codec family 101: three 8-bit colour planes rebuilt
// from 4 x 4 intra predictions and dequantised inverse transforms, one block
// row at a time, each packed into 5-6-5 pixels once rebuilt.
#pragma once

#include <cstddef>

#include "common/path_input.h"
#include "transform/transform_format.h"

namespace vexo {

// Decodes a whole transform picture into input.image. The result is the
// offset just past the byte holding the last consumed bit (16 when width or
// height is below 1: nothing is read or written). Fails as malformed for a
// quality above 51, as out of memory when the workspace is smaller than
// TransformWorkspaceBytes, and as truncated when the coded data runs past the
// end of the file; the image then holds the block rows decoded before.
VexoDecodeResult DecodeTransform(const PathInput& input);

}  // namespace vexo
