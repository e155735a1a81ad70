#include "transform/transform_encoder.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <numeric>

#include "common/bit_writer.h"
#include "common/file_layout.h"
#include "transform/coefficient_list_writer.h"
#include "transform/forward_transform.h"
#include "transform/intra_prediction.h"
#include "transform/inverse_transform.h"
#include "transform/transform_format.h"

namespace vexo {
namespace {

constexpr int kModesTried = 3;  // the best modes by prediction error get a full trial
constexpr double kRoundingOffset = 0.45;

using Block = std::array<uint8_t, 16>;  // 4 x 4 samples, stride 4

// A block coded one way: its list, what the decoder rebuilds, and the cost.
struct BlockTrial {
  CoefficientList list;
  Block rebuilt;
  int bits;
  int64_t distortion;
};

// The plane value whose 5- or 6-bit part the viewer shows nearest to the
// source: packing drops the low bits, so half a step is added first.
uint8_t BiasedSample(uint8_t source, int plane) {
  const int half = plane == 1 ? 2 : 4;
  return static_cast<uint8_t>(std::min(255, source + half));
}

class TransformEncoder {
 public:
  TransformEncoder(const RgbPicture& picture, int quality)
      : width_(PaddedToBlocks(picture.width)),
        height_(PaddedToBlocks(picture.height)),
        quality_(*TransformQualityFor(quality)),
        steps_(MakeDequantSteps(quality_)),
        maxLevel_(LargestLevel(quality_.escapeWidth)),
        lambda_(0.85 * std::pow(2.0, (quality - 12) / 3.0)) {
    const size_t planeSize = static_cast<size_t>(width_) * height_;
    for (int p = 0; p < kTransformPlaneCount; ++p) {
      target_[p].resize(planeSize);
      rebuilt_[p].assign(planeSize, 0);  // the decoder's planes start at zero
    }
    FillTargets(picture);
  }

  void Encode() {
    for (int32_t row = 0; row < height_ / kTransformBlockSize; ++row) {
      for (int32_t column = 0; column < width_ / kTransformBlockSize; ++column) {
        if (row == 0) {
          EncodeFirstRowPosition(column);
        } else {
          EncodePredictedPosition(row, column);
        }
      }
    }
  }

  const BitWriter& Bits() const { return bits_; }

 private:
  // Padding columns and rows repeat the picture's last column and row.
  void FillTargets(const RgbPicture& picture) {
    for (int32_t y = 0; y < height_; ++y) {
      const int32_t sourceY = std::min(y, picture.height - 1);
      for (int32_t x = 0; x < width_; ++x) {
        const int32_t sourceX = std::min(x, picture.width - 1);
        const uint8_t* rgb =
            &picture.rgb[3 * (static_cast<size_t>(sourceY) * picture.width + sourceX)];
        for (int p = 0; p < kTransformPlaneCount; ++p) {
          target_[p][static_cast<size_t>(y) * width_ + x] = BiasedSample(rgb[p], p);
        }
      }
    }
  }

  size_t Offset(int32_t row, int32_t column) const {
    return (static_cast<size_t>(row) * width_ + static_cast<size_t>(column)) * kTransformBlockSize;
  }

  Block Gather(const std::vector<uint8_t>& plane, size_t offset) const {
    Block block;
    for (int y = 0; y < 4; ++y) {
      std::copy_n(&plane[offset + static_cast<size_t>(y) * width_], 4, &block[4 * y]);
    }
    return block;
  }

  void Scatter(const Block& block, std::vector<uint8_t>& plane, size_t offset) {
    for (int y = 0; y < 4; ++y) {
      std::copy_n(&block[4 * y], 4, &plane[offset + static_cast<size_t>(y) * width_]);
    }
  }

  static int64_t SquaredError(const Block& a, const Block& b) {
    int64_t sum = 0;
    for (int i = 0; i < 16; ++i) sum += (a[i] - b[i]) * (a[i] - b[i]);
    return sum;
  }

  double Cost(const BlockTrial& trial) const {
    return static_cast<double>(trial.distortion) + lambda_ * trial.bits;
  }

  // The list that codes target over pred, or the bare prediction when that
  // costs less.
  BlockTrial CodeBlock(const Block& pred, const Block& target) const {
    std::array<int32_t, 16> residual;
    for (int i = 0; i < 16; ++i) residual[i] = target[i] - pred[i];
    const auto levels =
        QuantiseCoefficients(ForwardTransform4x4(residual), steps_, maxLevel_, kRoundingOffset);
    BlockTrial coded{MakeCoefficientList(levels), pred, 0, 0};
    BlockCoefficients coefficients;
    ReconstructBlock(coded.rebuilt.data(), 4, coefficients,
                     DequantiseList(coded.list, steps_, coefficients));
    coded.bits = CoefficientListBits(coded.list, quality_.escapeWidth);
    coded.distortion = SquaredError(coded.rebuilt, target);

    BlockTrial bare{MakeCoefficientList({}), pred, 1, SquaredError(pred, target)};
    return Cost(bare) <= Cost(coded) ? bare : coded;
  }

  void EncodeFirstRowPosition(int32_t column) {
    const size_t offset = Offset(0, column);
    for (int p = 0; p < kTransformPlaneCount; ++p) {
      FirstRowDC(&rebuilt_[p][offset], width_, column == 0);
      const BlockTrial trial = CodeBlock(Gather(rebuilt_[p], offset), Gather(target_[p], offset));
      WriteCoefficientList(trial.list, quality_.escapeWidth, bits_);
      Scatter(trial.rebuilt, rebuilt_[p], offset);
    }
  }

  Block Predict(int mode, int plane, size_t offset) const {
    Block pred;
    PredictIntra4x4(mode, PlaneNeighbours{&rebuilt_[plane][offset], width_}, pred.data(), 4);
    return pred;
  }

  // The modes whose predictions lie closest to the target, cheapest first.
  std::array<int, kModesTried> LikelyModes(
      size_t offset, const std::array<Block, kTransformPlaneCount>& targets) const {
    std::array<int64_t, kIntraModeCount> errors{};
    for (int mode = 0; mode < kIntraModeCount; ++mode) {
      for (int p = 0; p < kTransformPlaneCount; ++p) {
        const Block pred = Predict(mode, p, offset);
        for (int i = 0; i < 16; ++i) errors[mode] += std::abs(pred[i] - targets[p][i]);
      }
    }
    std::array<int, kIntraModeCount> modes;
    std::iota(modes.begin(), modes.end(), 0);
    std::partial_sort(modes.begin(), modes.begin() + kModesTried, modes.end(),
                      [&](int a, int b) { return errors[a] < errors[b]; });
    std::array<int, kModesTried> likely;
    std::copy_n(modes.begin(), kModesTried, likely.begin());
    return likely;
  }

  void EncodePredictedPosition(int32_t row, int32_t column) {
    const size_t offset = Offset(row, column);
    std::array<Block, kTransformPlaneCount> targets;
    for (int p = 0; p < kTransformPlaneCount; ++p) targets[p] = Gather(target_[p], offset);

    double bestCost = INFINITY;
    int bestMode = 0;
    std::array<BlockTrial, kTransformPlaneCount> best;
    for (const int mode : LikelyModes(offset, targets)) {
      std::array<BlockTrial, kTransformPlaneCount> trials;
      double cost = lambda_ * kIntraModeBits;
      for (int p = 0; p < kTransformPlaneCount; ++p) {
        trials[p] = CodeBlock(Predict(mode, p, offset), targets[p]);
        cost += Cost(trials[p]);
      }
      if (cost < bestCost) {
        bestCost = cost;
        bestMode = mode;
        best = trials;
      }
    }
    bits_.Put(static_cast<uint32_t>(bestMode), kIntraModeBits);
    for (int p = 0; p < kTransformPlaneCount; ++p) {
      WriteCoefficientList(best[p].list, quality_.escapeWidth, bits_);
      Scatter(best[p].rebuilt, rebuilt_[p], offset);
    }
  }

  int32_t width_;
  int32_t height_;
  TransformQuality quality_;
  DequantSteps steps_;
  int32_t maxLevel_;
  double lambda_;
  std::array<std::vector<uint8_t>, kTransformPlaneCount> target_;
  std::array<std::vector<uint8_t>, kTransformPlaneCount> rebuilt_;
  BitWriter bits_;
};

}  // namespace

std::vector<uint8_t> EncodeTransform(const RgbPicture& picture, const VexoHeader& header) {
  TransformEncoder encoder(picture, header.quality);
  encoder.Encode();
  std::vector<uint8_t> file = MakeVexoHeader(header);
  AppendLe32(file, 0);  // offsets 12 to 15 are not used on this path
  const auto& coded = encoder.Bits().Bytes();
  file.insert(file.end(), coded.begin(), coded.end());
  return file;
}

}  // namespace vexo
