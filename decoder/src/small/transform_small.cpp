// The transform path in its small form: the block positions decoded by one
// routine that refills with a check and picks the intra mode at run time,
// and the planes packed one pixel at a time.
#include <cstring>

#include "small/small_paths.h"
#include "transform/dequantised_list_reader.h"
#include "transform/intra_prediction.h"
#include "transform/inverse_transform.h"
#include "transform/plane_packing.h"

namespace vexo {
namespace {

class SmallPlaneDecoder {
 public:
  SmallPlaneDecoder(VexoBitReader& bits, const WorkingPlanes& planes,
                    const TransformQuality& quality)
      : bits_(bits),
        planes_(planes),
        stride_(planes.paddedWidth),
        steps_(MakeDequantSteps(quality)),
        escapeWidth_(quality.escapeWidth) {}

  // The block mode (if the row codes one), the three lists of one block
  // position, then its three blocks.
  void DecodeBlockPosition(int32_t blockRow, int32_t blockColumn) {
    int mode = -1;  // the first block row codes none
    if (blockRow > 0) mode = static_cast<int>(bits_.Read(kIntraModeBits));
    for (int p = 0; p < kTransformPlaneCount; ++p) {
      // The first block row rebuilds each block right after its list, the
      // later rows read all three lists first: the order of the bits.
      masks_[p] = ReadDequantisedList<true>(bits_, escapeWidth_, steps_, coefficients_[p]);
      if (mode < 0) Rebuild(mode, p, blockRow, blockColumn);
    }
    if (mode < 0) return;
    for (int p = 0; p < kTransformPlaneCount; ++p) Rebuild(mode, p, blockRow, blockColumn);
  }

 private:
  [[gnu::noinline]] void Rebuild(int mode, int plane, int32_t blockRow, int32_t blockColumn) {
    uint8_t* block = planes_.plane[plane] +
                     (static_cast<size_t>(blockRow) * stride_ + static_cast<size_t>(blockColumn)) *
                         kTransformBlockSize;
    if (mode < 0) {
      FirstRowDC(block, stride_, blockColumn == 0);
    } else {
      PredictIntra4x4(mode, PlaneNeighbours{block, stride_}, block, stride_);
    }
    ReconstructBlock(block, stride_, coefficients_[plane], masks_[plane]);
  }

  VexoBitReader& bits_;
  const WorkingPlanes& planes_;
  const ptrdiff_t stride_;
  const DequantSteps steps_;
  const int escapeWidth_;
  BlockCoefficients coefficients_[kTransformPlaneCount];
  CoefficientMask masks_[kTransformPlaneCount];
};

// As the fast form: the samples predictions read before this picture writes
// them are zeroed (the last column, or everything with one block column).
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

// False as soon as a consumed bit lay past the end of the file.
bool DecodePlanes(VexoBitReader& bits, const WorkingPlanes& planes,
                  const TransformQuality& quality) {
  SmallPlaneDecoder decoder(bits, planes, quality);
  for (int32_t row = 0; row < planes.paddedHeight / kTransformBlockSize; ++row) {
    for (int32_t column = 0; column < planes.paddedWidth / kTransformBlockSize; ++column) {
      decoder.DecodeBlockPosition(row, column);
      if (bits.ConsumedPastEnd()) return false;
    }
  }
  return true;
}

void PackPlanes(const WorkingPlanes& planes, int32_t width, int32_t height, uint16_t* image) {
  for (int32_t y = 0; y < height; ++y) {
    const size_t source = static_cast<size_t>(y) * planes.paddedWidth;
    for (int32_t x = 0; x < width; ++x) {
      *image++ = Pack565(planes.plane[0][source + x], planes.plane[1][source + x],
                         planes.plane[2][source + x]);
    }
  }
}

}  // namespace

VexoDecodeResult DecodeTransformSmall(const PathInput& input) {
  const auto quality = TransformQualityFor(input.quality);
  if (!quality) return {VexoStatus::kMalformed, -1};
  if (input.width < 1 || input.height < 1) {
    return {VexoStatus::kOk, static_cast<int32_t>(kTransformStreamStart)};
  }
  if (!TransformFileCanHold(input.width, input.height, input.file.size())) {
    return {VexoStatus::kTruncated, -1};
  }
  const int32_t paddedWidth = PaddedToBlocks(input.width);
  const int32_t paddedHeight = PaddedToBlocks(input.height);
  const size_t planeSize = static_cast<size_t>(paddedWidth) * static_cast<size_t>(paddedHeight);
  uint8_t* const base = input.memory->Reserve(kTransformPlaneCount * planeSize);
  if (base == nullptr) return {VexoStatus::kOutOfMemory, -1};
  const WorkingPlanes planes{
      {base, base + planeSize, base + 2 * planeSize}, paddedWidth, paddedHeight};
  ClearSamplesReadEarly(planes);
  VexoBitReader bits(input.file.data(), input.file.size(), kTransformStreamStart);
  if (!DecodePlanes(bits, planes, *quality)) return {VexoStatus::kTruncated, -1};
  PackPlanes(planes, input.width, input.height, input.image.data());
  return {VexoStatus::kOk, PositiveOrMinusOne(static_cast<int64_t>(bits.EndOffset()))};
}

}  // namespace vexo
