// The transform path in its small form: the block positions decoded by one
// routine that refills with a check and picks the intra mode at run time,
// in the same window of rows as the fast form, packed one pixel at a time.
#include <algorithm>

#include "small/small_paths.h"
#include "transform/dequantised_list_reader.h"
#include "transform/intra_prediction.h"
#include "transform/inverse_transform.h"
#include "transform/pixel_packing.h"
#include "transform/row_window.h"
#include "transform/transform_input.h"

namespace vexo {
namespace {

class SmallBlockRowDecoder {
 public:
  SmallBlockRowDecoder(VexoBitReader& bits, const RowWindow& window,
                       const TransformQuality& quality)
      : bits_(bits),
        window_(window),
        steps_(MakeDequantSteps(quality)),
        escapeWidth_(quality.escapeWidth) {}

  // False as soon as a consumed bit lay past the end of the file.
  bool DecodeBlockRow(bool firstBlockRow, int32_t blockColumns) {
    for (int32_t column = 0; column < blockColumns; ++column) {
      DecodeBlockPosition(firstBlockRow, column);
      if (bits_.ConsumedPastEnd()) return false;
    }
    return true;
  }

 private:
  // The first block row codes no mode and rebuilds each block right after
  // its list; the later rows code a mode, then all three lists.
  void DecodeBlockPosition(bool firstBlockRow, int32_t blockColumn) {
    const int mode = firstBlockRow ? kNoMode : static_cast<int>(bits_.Read(kIntraModeBits));
    for (int p = 0; p < kTransformPlaneCount; ++p) {
      masks_[p] = ReadDequantisedList<true>(bits_, escapeWidth_, steps_, coefficients_[p]);
      if (firstBlockRow) Rebuild(mode, p, blockColumn);
    }
    if (firstBlockRow) return;
    for (int p = 0; p < kTransformPlaneCount; ++p) Rebuild(mode, p, blockColumn);
  }

  [[gnu::noinline]] void Rebuild(int mode, int plane, int32_t blockColumn) {
    uint8_t* block = window_.BlockRowTop(plane) + blockColumn * kTransformBlockSize;
    const ptrdiff_t stride = window_.Stride();
    if (mode == kNoMode) {
      FirstRowDC(block, stride, blockColumn == 0);
    } else {
      PredictIntra4x4(mode, PlaneNeighbours{block, stride}, block, stride);
    }
    ReconstructBlock(block, stride, coefficients_[plane], masks_[plane]);
  }

  static constexpr int kNoMode = -1;

  VexoBitReader& bits_;
  const RowWindow& window_;
  const DequantSteps steps_;
  const int escapeWidth_;
  BlockCoefficients coefficients_[kTransformPlaneCount];
  CoefficientMask masks_[kTransformPlaneCount];
};

// Decodes the picture one block row at a time, packing each into the
// output; false as soon as a consumed bit lay past the end of the file.
bool DecodeRows(VexoBitReader& bits, const RowWindow& window, const TransformQuality& quality,
                const PathInput& input) {
  SmallBlockRowDecoder decoder(bits, window, quality);
  const auto blockColumns = static_cast<int32_t>(BlocksCovering(input.width));
  for (int32_t top = 0; top < input.height; top += kTransformBlockSize) {
    window.ClearSamplesReadEarly();
    if (!decoder.DecodeBlockRow(top == 0, blockColumns)) return false;
    PackRows565Plain(window.BlockRowTop(0), window.BlockRowTop(1), window.BlockRowTop(2),
                     window.Stride(), input.width,
                     std::min<int32_t>(kTransformBlockSize, input.height - top),
                     &PixelAt(input, 0, top), input.stride, input.byteSwapped);
    window.MoveToNextBlockRow();
  }
  return true;
}

}  // namespace

VexoDecodeResult DecodeTransformSmall(const PathInput& input) {
  if (const auto verdict = TransformInputVerdict(input)) return *verdict;
  const TransformQuality quality = *TransformQualityFor(input.quality);
  const RowWindow window(input.workspace.data(), PaddedToBlocks(input.width));
  VexoBitReader bits(input.file.data(), input.file.size(), kTransformStreamStart);
  if (!DecodeRows(bits, window, quality, input)) return {VexoStatus::kTruncated, -1};
  return {VexoStatus::kOk, PositiveOrMinusOne(static_cast<int64_t>(bits.EndOffset()))};
}

}  // namespace vexo
