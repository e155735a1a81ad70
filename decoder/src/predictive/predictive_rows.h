// The predictive path: 4 x 4 blocks of 16-bit pixels predicted from their
// neighbours, corrected by table deltas or replaced by raw pixels. Both codec
// families run it when pathFlag is 0.
#pragma once

#include <cstddef>
#include <cstdint>

#include "block_rows.h"
#include "common/bit_reader.h"
#include "common/held_bytes.h"
#include "plan.h"
#include "predictive/raw_pixels.h"

namespace vexo {

// The decoder of one predictive picture, block row by block row. Holds no
// pointer into the rows it writes, so it may be copied between block rows.
// The speed policy decodes whole 4 x 4 blocks in straight-line code with one
// table look-up per pixel code; the small policy decodes one pixel at a time,
// each code from a look at its first 4 bits and shifts where the file holds
// the block's bytes, field by field with checked reads elsewhere.
template <class Policy>
class PredictiveRows {
 public:
  // Reads the bit stream and the raw-pixel stream (in that order through
  // windows) of a file whose header reads as `plan`, path fields included.
  PredictiveRows(const DecodePlan& plan, const StreamSources& sources);

  // Decodes the next block row into `target`. kTruncated once the decode
  // needed data outside the file (the row is then partly written).
  VexoStatus DecodeBlockRow(const BlockRowTarget& target);

  // The offset just past the last raw pixel read, or -1 when it is not
  // positive.
  int32_t Result() const;

  // Every block row stays in its place.
  static constexpr bool PictureDone() { return false; }

  NativeBitReader bits;
  RawPixels raw;
  int32_t width;
  uint8_t quality;
};

extern template class PredictiveRows<SpeedPolicy>;
extern template class PredictiveRows<SmallPolicy>;

}  // namespace vexo
