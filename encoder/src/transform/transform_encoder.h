// The transform-path encoder (family 101): three 8-bit planes coded as 4 x 4
// intra predictions plus quantised integer-transform residuals. It predicts
// from exactly what the decoder will have rebuilt, zero-initialised planes
// included, measures every trial on what the viewer shows (the planes packed
// to 5-6-5) and picks levels, list ends and each block position's mode by
// distortion plus lambda times bits.
#pragma once

#include <cstdint>
#include <vector>

#include "vexo_encoder.h"

namespace vexo {

struct TransformEncoding {
  std::vector<uint8_t> file;
  // The picture the encoder rebuilt while coding, packed as the decoder
  // packs it: what every decode of `file` must give.
  std::vector<uint16_t> rebuilt565;
};

// `effort` (kLowestEffort..kHighestEffort) sets how many modes get their
// levels chosen, from how many starts, and how long they are refined.
TransformEncoding EncodeTransformAndRebuild(const RgbPicture& picture, const VexoHeader& header,
                                            int effort);

std::vector<uint8_t> EncodeTransform(const RgbPicture& picture, const VexoHeader& header,
                                     int effort);

}  // namespace vexo
