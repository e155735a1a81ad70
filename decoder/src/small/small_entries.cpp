// The path entries the dispatch calls, in a build with VEXO_DECODER_SMALL:
// each runs its path's small form, and the fast forms are not compiled.
#include "fast/fast_decoder.h"
#include "predictive/predictive_decoder.h"
#include "small/small_paths.h"
#include "transform/transform_decoder.h"

namespace vexo {

VexoDecodeResult DecodePredictive(const PathInput& input) {
  return DecodePredictiveSmall(input);
}

VexoDecodeResult DecodeFast(const PathInput& input) {
  return DecodeFastSmall(input);
}

VexoDecodeResult DecodeTransform(const PathInput& input) {
  return DecodeTransformSmall(input);
}

}  // namespace vexo
