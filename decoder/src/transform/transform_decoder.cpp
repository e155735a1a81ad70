#include "transform/transform_decoder.h"

#include <cstring>

#include "transform/dequantised_list_reader.h"
#include "transform/intra_prediction.h"
#include "transform/intra_prediction_sse2.h"
#include "transform/inverse_transform.h"
#include "transform/level_code.h"
#include "transform/plane_packing.h"
#include "transform/reconstruction_sse2.h"

namespace vexo {
namespace {

// How far past its fetch position the reader may load while decoding one
// block position of the longest kind: the position's bits, rounded up, then
// at most 8 fetched bytes not yet consumed (the list reader tops up before
// every entry) and the 8-byte load itself.
constexpr size_t kPositionFetchBytes =
    (kIntraModeBits + kTransformPlaneCount * kMaxListBits) / 8 + 1 + 8 + 8;

// Everything the blocks of one picture share.
class PlaneDecoder {
 public:
  PlaneDecoder(VexoBitReader& bits, const WorkingPlanes& planes, const TransformQuality& quality)
      : bits_(bits),
        planes_(planes),
        stride_(planes.paddedWidth),
        steps_(MakeDequantSteps(quality)),
        escapeWidth_(quality.escapeWidth) {}

  // The block mode (if the row codes one) and the three lists of one block
  // position, then its three blocks.
  template <bool kCheckedRefill>
  void DecodeBlockPosition(int32_t blockRow, int32_t blockColumn) {
    uint8_t* const blocks[kTransformPlaneCount] = {BlockAt(0, blockRow, blockColumn),
                                                   BlockAt(1, blockRow, blockColumn),
                                                   BlockAt(2, blockRow, blockColumn)};
    if (blockRow == 0) {
      for (int p = 0; p < kTransformPlaneCount; ++p) {
        ReadList<kCheckedRefill>(p);
        FirstRowDC(blocks[p], stride_, blockColumn == 0);
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

 private:
  template <bool kCheckedRefill>
  void Refill() {
    if constexpr (kCheckedRefill) {
      bits_.Refill();
    } else {
      bits_.RefillUnchecked();
    }
  }

  uint8_t* BlockAt(int plane, int32_t blockRow, int32_t blockColumn) const {
    return planes_.plane[plane] +
           (static_cast<size_t>(blockRow) * stride_ + static_cast<size_t>(blockColumn)) *
               kTransformBlockSize;
  }

  template <bool kCheckedRefill>
  void ReadList(int plane) {
    masks_[plane] =
        ReadDequantisedList<kCheckedRefill>(bits_, escapeWidth_, steps_, coefficients_[plane]);
  }

  void Reconstruct(uint8_t* block, int plane) {
#if defined(__x86_64__)
    ReconstructBlockSse2(block, stride_, coefficients_[plane], masks_[plane]);
#else
    ReconstructBlock(block, stride_, coefficients_[plane], masks_[plane]);
#endif
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
#if defined(__x86_64__)
      PredictIntra4x4Sse2<kMode>(blocks[p], stride_);
#else
      PredictIntra4x4<kMode>(PlaneNeighbours{blocks[p], stride_}, blocks[p], stride_);
#endif
      Reconstruct(blocks[p], p);
    }
  }

  VexoBitReader& bits_;
  const WorkingPlanes& planes_;
  const ptrdiff_t stride_;
  const DequantSteps steps_;
  const int escapeWidth_;
  // The dequantised lists of the block position being decoded.
  BlockCoefficients coefficients_[kTransformPlaneCount];
  CoefficientMask masks_[kTransformPlaneCount];
};

// Zeroes the samples that predictions read before this picture writes them,
// so that they read 0 whatever the memory held before: the last column (the
// left neighbours of the first block of the next rows), or, with a single
// block column, everything (its blocks also read their own top row).
void ClearSamplesReadEarly(const WorkingPlanes& planes) {
  const auto stride = static_cast<size_t>(planes.paddedWidth);
  const size_t planeSize = stride * static_cast<size_t>(planes.paddedHeight);
  for (uint8_t* plane : planes.plane) {
    if (planes.paddedWidth == kTransformBlockSize) {
      std::memset(plane, 0, planeSize);
      continue;
    }
    for (size_t last = stride - 1; last < planeSize; last += stride) plane[last] = 0;
  }
}

// Rebuilds every sample of the planes from the coded data
// under `bits`. False as soon as a consumed bit lay past the end of the file;
// the planes then hold a partial picture.
bool DecodeTransformPlanes(VexoBitReader& bits, const WorkingPlanes& planes,
                           const TransformQuality& quality) {
  PlaneDecoder decoder(bits, planes, quality);
  const int32_t blockRows = planes.paddedHeight / kTransformBlockSize;
  const int32_t blockColumns = planes.paddedWidth / kTransformBlockSize;
  for (int32_t row = 0; row < blockRows; ++row) {
    for (int32_t column = 0; column < blockColumns; ++column) {
      if (bits.HasBytesAhead(kPositionFetchBytes)) {
        decoder.DecodeBlockPosition<false>(row, column);
      } else {
        decoder.DecodeBlockPosition<true>(row, column);
        if (bits.ConsumedPastEnd()) return false;
      }
    }
  }
  return true;
}

}  // namespace

size_t TransformWorkspaceBytes(int32_t width, int32_t height) {
  if (width < 1 || height < 1) return 0;
  return static_cast<size_t>(kTransformPlaneCount) * static_cast<size_t>(PaddedToBlocks(width)) *
         static_cast<size_t>(PaddedToBlocks(height));
}

VexoDecodeResult DecodeTransform(const PathInput& input) {
  const auto quality = TransformQualityFor(input.quality);
  if (!quality) return {VexoStatus::kMalformed, -1};
  if (input.width < 1 || input.height < 1) {
    return {VexoStatus::kOk, static_cast<int32_t>(kTransformStreamStart)};
  }
  const int32_t paddedWidth = PaddedToBlocks(input.width);
  const int32_t paddedHeight = PaddedToBlocks(input.height);
  // Spares a tiny file that announces a huge picture the allocation of its
  // planes.
  if (!TransformFileCanHold(input.width, input.height, input.file.size())) {
    return {VexoStatus::kTruncated, -1};
  }
  const size_t planeSize = static_cast<size_t>(paddedWidth) * static_cast<size_t>(paddedHeight);
  if (input.workspace.size() < kTransformPlaneCount * planeSize) {
    return {VexoStatus::kOutOfMemory, -1};
  }
  uint8_t* const base = input.workspace.data();
  const WorkingPlanes planes{
      {base, base + planeSize, base + 2 * planeSize}, paddedWidth, paddedHeight};
  ClearSamplesReadEarly(planes);
  VexoBitReader bits(input.file.data(), input.file.size(), kTransformStreamStart);
  if (!DecodeTransformPlanes(bits, planes, *quality)) return {VexoStatus::kTruncated, -1};
  PackPlanes565(planes, input.width, input.height, input.image.data(), input.stride);
  return {VexoStatus::kOk, PositiveOrMinusOne(static_cast<int64_t>(bits.EndOffset()))};
}

}  // namespace vexo
