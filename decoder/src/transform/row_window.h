// The transform decoder's working samples: per colour plane a window of six
// rows of the padded width, laid out linearly as in a whole plane. Rows 0 and
// 1 hold the two picture rows above the block row being decoded, rows 2 to 5
// its own four. Every neighbour a prediction takes at its linear offset lies
// inside: the corner of the first block column (the last sample of row 0),
// the left column of the first block column (the last samples of rows 1 to
// 4), and, right of the last block column, the first four samples of row 2;
// so do the vector kernels' 8-byte loads from one left of the row above.
//
// Of row 0 only the last sample is ever read, so the window may start up to
// three samples before the memory it is given: those samples are never
// written nor read, and every block row starts on a 4-byte boundary whatever
// the memory's alignment (a block's rows are then single aligned words).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "transform/transform_format.h"

namespace vexo {

class RowWindow {
 public:
  // `memory` holds TransformWorkspaceBytes(width) bytes for a picture whose
  // padded width is `paddedWidth`; its content does not matter.
  RowWindow(uint8_t* memory, int32_t paddedWidth)
      : stride_(paddedWidth), skipped_(reinterpret_cast<uintptr_t>(memory) % kRowAlignment) {
    for (int p = 0; p < kTransformPlaneCount; ++p) {
      top_[p] = memory + p * kTransformWindowRows * stride_ + kRowsAbove * stride_ - skipped_;
    }
  }

  ptrdiff_t Stride() const { return stride_; }

  // The first sample of the block row being decoded in `plane`.
  // On a 4-byte boundary.
  uint8_t* BlockRowTop(int plane) const { return top_[plane]; }

  // The planes read as zero-initialised: zeroes the samples a block row's
  // predictions read before it writes them, whatever an earlier block row
  // left there. These are the last samples of its first three rows (the
  // left column of the first block below its top row), and, with a single
  // block column, its whole top row (the samples right of its row above).
  void ClearSamplesReadEarly() const {
    for (uint8_t* top : top_) {
      if (stride_ == kTransformBlockSize) std::memset(top, 0, kTransformBlockSize);
      for (int y = 0; y < kTransformBlockSize - 1; ++y) top[(y + 1) * stride_ - 1] = 0;
    }
  }

  // The last two rows of the block row just decoded become the rows above
  // the next one (but for the samples of row 0 left out).
  void MoveToNextBlockRow() const {
    const ptrdiff_t above = kRowsAbove * stride_;
    const auto bytes = static_cast<size_t>(above - skipped_);
    for (uint8_t* top : top_) {
      std::memcpy(top - above + skipped_, top + kTransformBlockSize * stride_ - above + skipped_,
                  bytes);
    }
  }

 private:
  static constexpr int kRowsAbove = kTransformWindowRows - kTransformBlockSize;
  static constexpr uintptr_t kRowAlignment = 4;

  uint8_t* top_[kTransformPlaneCount];
  ptrdiff_t stride_;
  // The samples of row 0 before the memory given (0 to 3).
  ptrdiff_t skipped_;
};

}  // namespace vexo
