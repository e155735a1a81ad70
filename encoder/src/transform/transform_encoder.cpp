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

using Block = std::array<uint8_t, 16>;    // 4 x 4 samples, stride 4
using Levels = std::array<int32_t, 16>;   // by scan position
using Estimate = std::array<double, 16>;  // unrounded levels by scan position

// What each effort searches.
struct Search {
  int modesEstimated;  // modes whose levels are chosen (best by prediction error first)
  int modesRefined;    // of those, the best by estimated cost refined on the shown picture
  int refinePasses;    // passes over a list's levels on the shown picture
  bool tryRaising;     // also try levels one step further from 0
};

Search SearchFor(int effort) {
  static constexpr std::array<Search, kHighestEffort + 1> kSearches = {{
      {1, 1, 0, false},  // 0
      {2, 1, 0, false},  // 1
      {3, 1, 0, false},  // 2
      // Estimating more modes without refining costs about as much as one
      // refining pass and gains less, so 3 to 5 search alike.
      {1, 1, 1, false},  // 3
      {1, 1, 1, false},  // 4
      {1, 1, 1, false},  // 5
      {2, 1, 1, false},  // 6
      {3, 1, 1, false},  // 7
      {4, 2, 2, false},  // 8
      {8, 8, 8, true},   // 9
  }};

  return kSearches[static_cast<size_t>(std::clamp(effort, kLowestEffort, kHighestEffort))];
}

// The bits the viewer keeps of a plane sample: red and blue 5, green 6.
constexpr uint8_t ShownMask(int plane) {
  return plane == 1 ? 0xFC : 0xF8;
}

// The middle of the plane values the viewer shows as the 5-6-5 value nearest
// to the source: every value in [lo, lo + step) looks the same.
uint8_t MiddleOfShownStep(uint8_t source, int plane) {
  const int step = plane == 1 ? 4 : 8;
  const int top = plane == 1 ? 63 : 31;
  const int lo = std::min(top, (source + step / 2) / step) * step;
  return static_cast<uint8_t>(lo + step / 2);
}

// A block coded one way: its levels, what the decoder rebuilds, and the cost.
struct BlockTrial {
  Levels levels;
  Block rebuilt;
  int bits;
  int64_t distortion;
  double cost;
};

// Squared error of a unit level at each scan position in sample values:
// the inverse transform is (M d M^T) / 64 with orthogonal M whose columns
// have squared norms 4, 2.5, 4, 2.5.
std::array<double, 16> LevelWeights(const DequantSteps& steps) {
  constexpr double kNorm[4] = {4, 2.5, 4, 2.5};
  std::array<double, 16> weights{};
  for (int p = 0; p < kCoefficientCount; ++p) {
    const int index = ScanOrder[p];
    const double unit = steps[p] / 64.0;
    weights[p] = unit * unit * kNorm[index / 4] * kNorm[index % 4];
  }
  return weights;
}

class TransformEncoder {
 public:
  TransformEncoder(const RgbPicture& picture, int quality, int effort)
      : width_(PaddedToBlocks(picture.width)),
        height_(PaddedToBlocks(picture.height)),
        quality_(*TransformQualityFor(quality)),
        steps_(MakeDequantSteps(quality_)),
        weights_(LevelWeights(steps_)),
        maxLevel_(LargestLevel(quality_.escapeWidth)),
        search_(SearchFor(effort)) {
    // Lambda follows the square of the lowest-frequency step in orthonormal
    // units (four times its step in sample values).
    const double step = steps_[0] / 16.0;
    lambda_ = kLambdaPerSquaredStep * step * step;
    const size_t planeSize = static_cast<size_t>(width_) * height_;
    for (int p = 0; p < kTransformPlaneCount; ++p) {
      source_[p].resize(planeSize);
      target_[p].resize(planeSize);
      rebuilt_[p].assign(planeSize, 0);  // the decoder's planes start at zero
    }
    FillPlanes(picture);
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

  std::vector<uint16_t> Rebuilt565(int32_t width, int32_t height) const {
    std::vector<uint16_t> pixels(static_cast<size_t>(width) * height);
    for (int32_t y = 0; y < height; ++y) {
      for (int32_t x = 0; x < width; ++x) {
        const size_t at = static_cast<size_t>(y) * width_ + x;
        pixels[static_cast<size_t>(y) * width + x] = static_cast<uint16_t>(
            (rebuilt_[0][at] >> 3) << 11 | (rebuilt_[1][at] >> 2) << 5 | rebuilt_[2][at] >> 3);
      }
    }
    return pixels;
  }

 private:
  static constexpr double kLambdaPerSquaredStep = 0.05;

  // Padding columns and rows repeat the picture's last column and row.
  void FillPlanes(const RgbPicture& picture) {
    for (int32_t y = 0; y < height_; ++y) {
      const int32_t sourceY = std::min(y, picture.height - 1);
      for (int32_t x = 0; x < width_; ++x) {
        const int32_t sourceX = std::min(x, picture.width - 1);
        const uint8_t* rgb =
            &picture.rgb[3 * (static_cast<size_t>(sourceY) * picture.width + sourceX)];
        const size_t at = static_cast<size_t>(y) * width_ + x;
        for (int p = 0; p < kTransformPlaneCount; ++p) {
          source_[p][at] = rgb[p];
          target_[p][at] = MiddleOfShownStep(rgb[p], p);
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

  // The error the viewer shows: the rebuilt samples with their low bits
  // dropped, against the source.
  static int64_t ShownError(const Block& rebuilt, const Block& source, int plane) {
    const uint8_t mask = ShownMask(plane);
    int64_t sum = 0;
    for (int i = 0; i < 16; ++i) {
      const int difference = (rebuilt[i] & mask) - source[i];
      sum += difference * difference;
    }
    return sum;
  }

  int LevelBits(int32_t level) const {
    switch (level) {
      case 0:
        return 0;
      case -1:
      case 1:
      case 2:
        return 3 + kRunBits;
      case -2:
        return 4 + kRunBits;
      default:
        return 5 + quality_.escapeWidth + kRunBits;
    }
  }

  int ListBits(const Levels& levels) const {
    int bits = 0;
    int count = 0;
    for (const int32_t level : levels) {
      bits += LevelBits(level);
      count += level != 0;
    }
    return bits + (count < kCoefficientCount ? 1 : 0);
  }

  Block Rebuild(const Block& pred, const Levels& levels) const {
    Block block = pred;
    BlockCoefficients coefficients{};
    CoefficientMask mask = 0;
    for (int p = 0; p < kCoefficientCount; ++p) {
      if (levels[p] == 0) continue;
      coefficients[ScanOrder[p]] = levels[p] * steps_[p];
      mask |= CoefficientMask{1} << ScanOrder[p];
    }
    ReconstructBlock(block.data(), 4, coefficients, mask);
    return block;
  }

  void Evaluate(const Block& pred, const Block& source, int plane, BlockTrial& trial) const {
    trial.rebuilt = Rebuild(pred, trial.levels);
    trial.bits = ListBits(trial.levels);
    trial.distortion = ShownError(trial.rebuilt, source, plane);
    trial.cost = static_cast<double>(trial.distortion) + lambda_ * trial.bits;
  }

  // The residual over pred in unrounded levels, aiming at the middle of the
  // shown step (target, or one below it for the samples predicted there).
  Estimate Unrounded(const Block& pred, const Block& target) const {
    std::array<int32_t, 16> residual;
    for (int i = 0; i < 16; ++i) {
      residual[i] = std::clamp<int>(pred[i], target[i] - 1, target[i]) - pred[i];
    }
    const auto coefficients = ForwardTransform4x4(residual);
    Estimate values;
    for (int p = 0; p < kCoefficientCount; ++p) values[p] = coefficients[ScanOrder[p]] / steps_[p];
    return values;
  }

  // Each level on its own by squared error plus lambda times its bits, which
  // is exact for the unclamped transform: the basis is orthogonal and a
  // level's bits do not depend on where it lies. Returns the estimated cost.
  double ChooseLevels(const Estimate& values, Levels& levels) const {
    double cost = lambda_;  // end of block
    for (int p = 0; p < kCoefficientCount; ++p) {
      const double magnitude = std::abs(values[p]);
      const int32_t sign = values[p] < 0 ? -1 : 1;
      const auto floor = static_cast<int32_t>(magnitude);
      double best = weights_[p] * magnitude * magnitude;
      int32_t chosen = 0;
      for (const int32_t candidate : {floor, floor + 1}) {
        if (candidate == 0 || candidate > maxLevel_) continue;
        const double error = magnitude - candidate;
        const double trial = weights_[p] * error * error + lambda_ * LevelBits(sign * candidate);
        if (trial < best) {
          best = trial;
          chosen = candidate;
        }
      }
      levels[p] = sign * chosen;
      cost += best;
    }
    return cost;
  }

  // Moves levels towards 0 (and, when the search allows, away from it)
  // while that lowers the cost of what the viewer shows.
  void Refine(const Block& pred, const Block& source, int plane, BlockTrial& trial) const {
    for (int pass = 0; pass < search_.refinePasses; ++pass) {
      bool improved = false;
      for (int p = kCoefficientCount - 1; p >= 0; --p) {
        const int32_t level = trial.levels[p];
        int32_t candidates[3];
        int count = 0;
        if (level == 0) {
          if (!search_.tryRaising) continue;
          candidates[count++] = 1;
          candidates[count++] = -1;
        } else {
          const int32_t sign = level > 0 ? 1 : -1;
          candidates[count++] = level - sign;
          if (level - sign != 0) candidates[count++] = 0;
          if (search_.tryRaising && std::abs(level) < maxLevel_) candidates[count++] = level + sign;
        }
        for (int c = 0; c < count; ++c) {
          BlockTrial changed = trial;
          changed.levels[p] = candidates[c];
          Evaluate(pred, source, plane, changed);
          if (changed.cost < trial.cost) {
            trial = changed;
            improved = true;
            break;
          }
        }
      }
      if (!improved) break;
    }
  }

  BlockTrial Bare(const Block& pred, const Block& source, int plane) const {
    BlockTrial bare{{}, pred, 1, ShownError(pred, source, plane), 0};
    bare.cost = static_cast<double>(bare.distortion) + lambda_;
    return bare;
  }

  // The best of the chosen levels, refined, and the bare prediction.
  BlockTrial CodeBlock(const Block& pred, const Levels& chosen, const Block& source,
                       int plane) const {
    const BlockTrial bare = Bare(pred, source, plane);
    BlockTrial coded{chosen, {}, 0, 0, 0};
    if (std::all_of(chosen.begin(), chosen.end(), [](int32_t level) { return level == 0; })) {
      return bare;
    }
    Evaluate(pred, source, plane, coded);
    Refine(pred, source, plane, coded);
    return coded.cost < bare.cost ? coded : bare;
  }

  void EncodeFirstRowPosition(int32_t column) {
    const size_t offset = Offset(0, column);
    for (int p = 0; p < kTransformPlaneCount; ++p) {
      FirstRowDC(&rebuilt_[p][offset], width_, column == 0);
      const Block pred = Gather(rebuilt_[p], offset);
      Levels levels;
      ChooseLevels(Unrounded(pred, Gather(target_[p], offset)), levels);
      const BlockTrial trial = CodeBlock(pred, levels, Gather(source_[p], offset), p);
      WriteCoefficientList(MakeCoefficientList(trial.levels), quality_.escapeWidth, bits_);
      Scatter(trial.rebuilt, rebuilt_[p], offset);
    }
  }

  Block Predict(int mode, int plane, size_t offset) const {
    Block pred;
    PredictIntra4x4(mode, PlaneNeighbours{&rebuilt_[plane][offset], width_}, pred.data(), 4);
    return pred;
  }

  // Every mode's three predictions, then its levels by estimated cost; the
  // best few by that estimate are refined on the shown picture and the
  // cheapest coded.
  void EncodePredictedPosition(int32_t row, int32_t column) {
    const size_t offset = Offset(row, column);
    std::array<Block, kTransformPlaneCount> targets, sources;
    for (int p = 0; p < kTransformPlaneCount; ++p) {
      targets[p] = Gather(target_[p], offset);
      sources[p] = Gather(source_[p], offset);
    }
    struct ModeTrial {
      std::array<Block, kTransformPlaneCount> preds;
      std::array<Levels, kTransformPlaneCount> levels;
      int64_t predictionError = 0;
      double estimate = 0;
    };
    std::array<ModeTrial, kIntraModeCount> trials;
    std::array<int, kIntraModeCount> modes;
    std::iota(modes.begin(), modes.end(), 0);
    for (int mode = 0; mode < kIntraModeCount; ++mode) {
      for (int p = 0; p < kTransformPlaneCount; ++p) {
        trials[mode].preds[p] = Predict(mode, p, offset);
        for (int i = 0; i < 16; ++i) {
          trials[mode].predictionError += std::abs(trials[mode].preds[p][i] - targets[p][i]);
        }
      }
    }
    const int estimated = search_.modesEstimated;
    if (estimated < kIntraModeCount) {
      std::partial_sort(modes.begin(), modes.begin() + estimated, modes.end(), [&](int a, int b) {
        return trials[a].predictionError < trials[b].predictionError;
      });
    }
    for (int k = 0; k < estimated; ++k) {
      ModeTrial& trial = trials[modes[k]];
      for (int p = 0; p < kTransformPlaneCount; ++p) {
        trial.estimate += ChooseLevels(Unrounded(trial.preds[p], targets[p]), trial.levels[p]);
      }
    }
    const int refined = std::min(search_.modesRefined, estimated);
    std::partial_sort(modes.begin(), modes.begin() + refined, modes.begin() + estimated,
                      [&](int a, int b) { return trials[a].estimate < trials[b].estimate; });

    double bestCost = INFINITY;
    int bestMode = 0;
    std::array<BlockTrial, kTransformPlaneCount> best;
    for (int k = 0; k < refined; ++k) {
      const int mode = modes[k];
      std::array<BlockTrial, kTransformPlaneCount> coded;
      double cost = lambda_ * kIntraModeBits;
      for (int p = 0; p < kTransformPlaneCount && cost < bestCost; ++p) {
        coded[p] = CodeBlock(trials[mode].preds[p], trials[mode].levels[p], sources[p], p);
        cost += coded[p].cost;
      }
      if (cost < bestCost) {
        bestCost = cost;
        bestMode = mode;
        best = coded;
      }
    }
    bits_.Put(static_cast<uint32_t>(bestMode), kIntraModeBits);
    for (int p = 0; p < kTransformPlaneCount; ++p) {
      WriteCoefficientList(MakeCoefficientList(best[p].levels), quality_.escapeWidth, bits_);
      Scatter(best[p].rebuilt, rebuilt_[p], offset);
    }
  }

  int32_t width_;
  int32_t height_;
  TransformQuality quality_;
  DequantSteps steps_;
  std::array<double, 16> weights_;
  int32_t maxLevel_;
  Search search_;
  double lambda_ = 0;
  std::array<std::vector<uint8_t>, kTransformPlaneCount> source_;
  std::array<std::vector<uint8_t>, kTransformPlaneCount> target_;
  std::array<std::vector<uint8_t>, kTransformPlaneCount> rebuilt_;
  BitWriter bits_;
};

}  // namespace

namespace {

std::vector<uint8_t> FileOf(const TransformEncoder& encoder, const VexoHeader& header) {
  std::vector<uint8_t> file = MakeVexoHeader(header);
  AppendLe32(file, 0);  // offsets 12 to 15 are not used on this path
  const auto& coded = encoder.Bits().Bytes();
  file.insert(file.end(), coded.begin(), coded.end());
  return file;
}

}  // namespace

TransformEncoding EncodeTransformAndRebuild(const RgbPicture& picture, const VexoHeader& header,
                                            int effort) {
  TransformEncoder encoder(picture, header.quality, effort);
  encoder.Encode();
  return {FileOf(encoder, header), encoder.Rebuilt565(picture.width, picture.height)};
}

std::vector<uint8_t> EncodeTransform(const RgbPicture& picture, const VexoHeader& header,
                                     int effort) {
  TransformEncoder encoder(picture, header.quality, effort);
  encoder.Encode();
  return FileOf(encoder, header);
}

}  // namespace vexo
