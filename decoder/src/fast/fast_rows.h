// The fast path of codec family 201: 4 x 4 blocks of raw pixels, runs of
// table deltas along rows or columns, or fills from the neighbours, over
// three streams.
#pragma once

#include <cstddef>
#include <cstdint>

#include "block_rows.h"
#include "fast/fast_format.h"
#include "fast/fast_streams.h"
#include "plan.h"

namespace vexo {

// The block-code reader: a byte is appended whenever fewer than 5 bits are
// left. The file holds a code for every block (FileCanHoldPlan), so no
// fetch needs a check.
struct FastCodeReader {
  const uint8_t* nextByte;
  uint32_t bits = 0;  // the latest bits fetched, the unread ones at the bottom
  int32_t bitsLeft = 0;

  // The next block code, not consumed yet.
  uint32_t Peek() const {
    if (bitsLeft >= kFastBlockCodeBits) return bits >> (bitsLeft - kFastBlockCodeBits) & kCodeMask;
    return (bits << 8 | *nextByte) >> (bitsLeft + 8 - kFastBlockCodeBits) & kCodeMask;
  }
  // Inline: the block loop calls it once a block, and keeps the reader in
  // registers only where the call is not made.
  uint32_t Next() {
    if (bitsLeft < kFastBlockCodeBits) {
      bits = bits << 8 | *nextByte++;
      bitsLeft += 8;
    }
    bitsLeft -= kFastBlockCodeBits;
    return bits >> bitsLeft & kCodeMask;
  }

  static constexpr uint32_t kCodeMask = (1u << kFastBlockCodeBits) - 1;
};

// The decoder of one fast-path picture, block row by block row. Holds no
// pointer into the rows it writes, so it may be copied between block rows.
// The speed policy decodes each block in straight-line code for its mode
// and direction, inlined into one loop; the small policy has one routine for
// every block, every read checked.
template <class Policy>
class FastRows {
 public:
  // Reads the block codes, the symbol stream and the raw-pixel stream (in
  // that order through windows) of a file whose header reads as `plan`, path
  // fields included, and which holds a code for every block
  // (FileCanHoldPlan).
  FastRows(const DecodePlan& plan, const StreamSources& sources);

  // Decodes the next block row into `target`. kTruncated once a block read
  // outside the file. A block of an undefined mode (11 to 15) writes nothing
  // and shifts every later block of the picture 4 pixels back: with
  // target.picture the rest of the picture is then decoded at once
  // (PictureDone), band by band it is kMalformed.
  VexoStatus DecodeBlockRow(const BlockRowTarget& target);

  // The offset just past the last raw pixel read, or -1 when it is not
  // positive or does not fit.
  int32_t Result() const;

  bool PictureDone() const { return pictureDone; }

  StreamCursor codeBytes;  // where `codes` was when last asked about
  FastCodeReader codes;
  FastStreams streams;
  int32_t width;
  int32_t height;
  int32_t blocksPerRow;
  uint8_t quality;
  bool throughWindows;  // the streams are read through windows
  bool pictureDone = false;
};

extern template class FastRows<SpeedPolicy>;
extern template class FastRows<SmallPolicy>;

}  // namespace vexo
