// The small form of each coding path: the same pixels, statuses and results
// as the fast form, in a fraction of its code and constant data, for devices
// where the decoder's size counts more than its speed. The bare-metal build
// (VEXO_DECODER_SMALL) decodes with these alone; the desktop builds compile
// them too, so that the tests hold the two forms to each other.
#pragma once

#include "common/path_input.h"

namespace vexo {

// Pixel codes decoded from their bits with the one shared delta table, one
// pixel at a time, every source checked.
VexoDecodeResult DecodePredictiveSmall(const PathInput& input);

// One block routine for both directions and every symbol width, reading
// both streams with a check each.
VexoDecodeResult DecodeFastSmall(const PathInput& input);

// The intra mode and the reconstruction chosen at run time, every refill
// checked.
VexoDecodeResult DecodeTransformSmall(const PathInput& input);

}  // namespace vexo
