#include "transform/transform_decoder.h"

#include <algorithm>

#include "transform/dequantised_list_reader.h"
#include "transform/level_code.h"
#include "transform/row_window.h"
#include "transform/transform_input.h"
#include "transform/transform_kernels.h"

namespace vexo {
namespace {

// As wide as the processor's registers: a 64-bit accumulator costs a 32-bit
// processor several instructions per shift.
using TransformBitReader = NativeBitReader;

// How far past its fetch position the reader may load while decoding one
// block position of the longest kind: the position's bits, rounded up, then
// at most 8 fetched bytes not yet consumed (the list reader tops up before
// every entry) and the 8-byte load itself.
constexpr size_t kPositionFetchBytes =
    (kIntraModeBits + kTransformPlaneCount * kMaxListBits) / 8 + 1 + 8 + 8;

// Decodes the block rows of one picture in a row window; holds what its
// blocks share.
class BlockRowDecoder {
 public:
  BlockRowDecoder(TransformBitReader& bits, const RowWindow& window,
                  const TransformQuality& quality)
      : bits_(bits),
        rowTops_{window.BlockRowTop(0), window.BlockRowTop(1), window.BlockRowTop(2)},
        stride_(window.Stride()),
        steps_(MakeDequantSteps(quality)),
        escapeWidth_(quality.escapeWidth) {}

  // Rebuilds every sample of the window's block row from the coded data.
  // False as soon as a consumed bit lay past the end of the file.
  bool DecodeBlockRow(bool firstBlockRow, int32_t blockColumns) {
    for (int32_t column = 0; column < blockColumns; ++column) {
      if (bits_.HasBytesAhead(kPositionFetchBytes)) {
        DecodeBlockPosition<false>(firstBlockRow, column);
      } else {
        DecodeBlockPosition<true>(firstBlockRow, column);
        if (bits_.ConsumedPastEnd()) return false;
      }
    }
    return true;
  }

 private:
  // The block mode (if the row codes one) and the three lists of one block
  // position of the window's block row, then its three blocks.
  template <bool kCheckedRefill>
  void DecodeBlockPosition(bool firstBlockRow, int32_t blockColumn) {
    uint8_t* const blocks[kTransformPlaneCount] = {BlockAt(0, blockColumn), BlockAt(1, blockColumn),
                                                   BlockAt(2, blockColumn)};
    if (firstBlockRow) {
      for (int p = 0; p < kTransformPlaneCount; ++p) {
        ReadList<kCheckedRefill>(p);
        FirstRowDC<true>(blocks[p], stride_, blockColumn == 0);
        Reconstruct(blocks[p], p);
      }
      return;
    }
    if (bits_.Count() < kIntraModeBits) Refill<kCheckedRefill>();
    const auto mode = static_cast<int>(bits_.Peek(kIntraModeBits));
    bits_.Skip(kIntraModeBits);
    for (int p = 0; p < kTransformPlaneCount; ++p) ReadList<kCheckedRefill>(p);
    RebuildPredictedBlocks(mode, blocks);
  }

  template <bool kCheckedRefill>
  void Refill() {
    if constexpr (kCheckedRefill) {
      bits_.Refill();
    } else {
      bits_.RefillUnchecked();
    }
  }

  uint8_t* BlockAt(int plane, int32_t blockColumn) const {
    return rowTops_[plane] + blockColumn * kTransformBlockSize;
  }

  template <bool kCheckedRefill>
  void ReadList(int plane) {
    masks_[plane] =
        ReadDequantisedList<kCheckedRefill>(bits_, escapeWidth_, steps_, coefficients_[plane]);
  }

  void Reconstruct(uint8_t* block, int plane) {
    ReconstructBlockInPlace(block, stride_, coefficients_[plane], masks_[plane]);
  }

  // The mode is dispatched once for the three planes.
  void RebuildPredictedBlocks(int mode, uint8_t* const* blocks) {
    switch (mode) {
      case kIntraDiagDownRight:
        return RebuildPredictedBlocks<kIntraDiagDownRight>(blocks);
      case kIntraHorDown:
        return RebuildPredictedBlocks<kIntraHorDown>(blocks);
      case kIntraDC:
        return RebuildPredictedBlocks<kIntraDC>(blocks);
      case kIntraHorizontal:
        return RebuildPredictedBlocks<kIntraHorizontal>(blocks);
      case kIntraVertical:
        return RebuildPredictedBlocks<kIntraVertical>(blocks);
      case kIntraVertLeft:
        return RebuildPredictedBlocks<kIntraVertLeft>(blocks);
      case kIntraDiagDownLeft:
        return RebuildPredictedBlocks<kIntraDiagDownLeft>(blocks);
      default:
        return RebuildPredictedBlocks<kIntraHorUp>(blocks);
    }
  }

  template <int kMode>
  void RebuildPredictedBlocks(uint8_t* const* blocks) {
    for (int p = 0; p < kTransformPlaneCount; ++p) {
      PredictIntra4x4InPlace<kMode>(blocks[p], stride_);
      Reconstruct(blocks[p], p);
    }
  }

  TransformBitReader& bits_;
  // Where every block row is rebuilt: the window stays, its rows move.
  uint8_t* const rowTops_[kTransformPlaneCount];
  const ptrdiff_t stride_;
  const DequantSteps steps_;
  const int escapeWidth_;
  // The dequantised lists of the block position being decoded.
  BlockCoefficients coefficients_[kTransformPlaneCount];
  CoefficientMask masks_[kTransformPlaneCount];
};

// Where the finished rows go: `stride` pixels apart, each pixel's two bytes
// exchanged when `byteSwapped`.
struct OutputRows {
  uint16_t* first;
  ptrdiff_t stride;
  bool byteSwapped;
};

// Decodes the picture one block row at a time in `window`, packing each
// finished block row into `output`. False as soon as a consumed bit lay past
// the end of the file; the output then holds the block rows before.
bool DecodeTransformRows(TransformBitReader& bits, const RowWindow& window,
                         const TransformQuality& quality, int32_t width, int32_t height,
                         const OutputRows& output) {
  BlockRowDecoder decoder(bits, window, quality);
  const int32_t blockColumns = BlocksCovering(width);
  for (int32_t top = 0; top < height; top += kTransformBlockSize) {
    window.ClearSamplesReadEarly();
    if (!decoder.DecodeBlockRow(top == 0, blockColumns)) return false;
    PackRows565(window.BlockRowTop(0), window.BlockRowTop(1), window.BlockRowTop(2),
                window.Stride(), width, std::min<int32_t>(kTransformBlockSize, height - top),
                output.first + top * output.stride, output.stride, output.byteSwapped);
    window.MoveToNextBlockRow();
  }
  return true;
}

}  // namespace

VexoDecodeResult DecodeTransform(const PathInput& input) {
  if (const auto verdict = TransformInputVerdict(input)) return *verdict;
  const TransformQuality quality = *TransformQualityFor(input.quality);
  const RowWindow window(input.workspace.data(), PaddedToBlocks(input.width));
  const OutputRows output{input.image.data(), input.stride, input.byteSwapped};
  TransformBitReader bits(input.file.data(), input.file.size(), kTransformStreamStart);
  if (!DecodeTransformRows(bits, window, quality, input.width, input.height, output)) {
    return {VexoStatus::kTruncated, -1};
  }
  return {VexoStatus::kOk, PositiveOrMinusOne(static_cast<int64_t>(bits.EndOffset()))};
}

}  // namespace vexo
