// The transform path of codec family 101: three 8-bit colour planes rebuilt
// from 4 x 4 intra predictions and dequantized inverse transforms, then
// packed into 5-6-5 pixels.
#pragma once

#include <cstddef>

#include "common/bit_reader.h"
#include "common/path_input.h"
#include "transform/plane_packing.h"
#include "transform/quality_tables.h"

namespace vexo {

inline constexpr size_t kTransformStreamStart = 16;

// A picture side rounded up to whole 4 x 4 blocks: the working planes' size.
constexpr int32_t PaddedToBlocks(int32_t size) {
  return (size + 3) / 4 * 4;
}

// Decodes a whole transform picture into input.image. The result is the
// offset just past the byte holding the last consumed bit (16 when width or
// height is below 1: nothing is read or written). Fails as malformed for a
// quality above 51, as out of memory when the working planes cannot be
// allocated, and as truncated when the coded data runs past the end of the
// file.
VexoDecodeResult DecodeTransform(const PathInput& input);

// Rebuilds every sample of the zero-initialised planes from the coded data
// under `bits`. False as soon as a consumed bit lay past the end of the file;
// the planes then hold a partial picture.
bool DecodeTransformPlanes(VexoBitReader& bits, const WorkingPlanes& planes,
                           const TransformQuality& quality);

}  // namespace vexo
