// The predictive path: 4 x 4 blocks of 16-bit pixels predicted from their
// neighbours, corrected by table deltas or replaced by raw pixels. Both codec
// families run it when pathFlag is 0.
#pragma once

#include "common/path_input.h"

namespace vexo {

// Chooses the whole-block form when width and height are multiples of 4,
// otherwise the general form. Both give identical pixels and results.
VexoDecodeResult DecodePredictive(const PathInput& input);

// The general form: any size, edge blocks included, one pixel at a time.
VexoDecodeResult DecodePredictiveGeneral(const PathInput& input);

// The whole-block form for sizes that are multiples of 4: straight-line
// 4 x 4 blocks, bounds checked once per block rather than per pixel.
VexoDecodeResult DecodePredictiveWholeBlocks(const PathInput& input);

}  // namespace vexo
