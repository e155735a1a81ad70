// The transform path of codec family 101: three 8-bit colour planes rebuilt
// from 4 x 4 intra predictions and dequantised inverse transforms, block by
// block, each block packed into 5-6-5 pixels as soon as it is rebuilt.
#pragma once

#include <cstddef>
#include <cstdint>

#include "block_rows.h"
#include "common/bit_reader.h"
#include "common/held_bytes.h"
#include "plan.h"
#include "transform/dequantisation.h"

namespace vexo {

// Working memory of a transform decode, whole or band by band: per plane the
// last sample row of the block row above, with the sample before it (the
// corner of the first block column) and four after it (the first block's top
// row, which the last block column predicts from); none without pixels. The
// height does not matter.
size_t TransformHistoryBytes(int32_t width);

// The decoder of one transform picture, block row by block row. Its history
// lives in memory the caller gives it (TransformHistoryBytes, any
// alignment), which must stay in place; it holds no pointer into the rows it
// writes, so it may be copied between block rows. The speed policy has a
// routine per intra mode and the processor's kernels; the small policy
// chooses the mode at run time and uses compact kernels and a compact
// level-code table.
template <class Policy>
class TransformRows {
 public:
  // The plan's quality is 0 to 51 (CheckPlanQuality).
  TransformRows(const DecodePlan& plan, const StreamSources& sources, uint8_t* history,
                bool byteSwapped);

  // Decodes the next block row into `target` (its `above` and `corner` are
  // not used: the history holds what the block row predicts from).
  // kTruncated once a consumed bit lay past the end of the file; the block
  // row is then partly written.
  VexoStatus DecodeBlockRow(const BlockRowTarget& target);

  // The offset just past the byte holding the last consumed bit.
  int32_t Result() const;

  static constexpr bool PictureDone() { return false; }

  // As wide as a pointer: a 64-bit accumulator costs a 32-bit processor
  // several instructions per shift.
  using BitReader = NativeBitReader;

  BitReader bits;
  DequantSteps steps;
  int32_t escapeWidth;
  int32_t width;
  int32_t paddedWidth;
  uint8_t* history;  // plane 0's row; each plane's row HistoryStride() after the last
  bool byteSwapped;

  ptrdiff_t HistoryStride() const { return paddedWidth + 8; }
};

extern template class TransformRows<SpeedPolicy>;
extern template class TransformRows<SmallPolicy>;

}  // namespace vexo
