#include "transform/transform_encoder.h"

#include <algorithm>
#include <array>
#include <numeric>
#include <utility>

#include "common/file_layout.h"
#include "transform/block_search.h"
#include "transform/coefficient_list_writer.h"
#include "transform/intra_prediction.h"
#include "transform/transform_format.h"

namespace vexo {
namespace {

// What each effort searches.
struct Search {
  int modesEstimated;  // modes, nearest the picture first, whose levels are chosen
  int modesRefined;    // of those, the cheapest on the shown picture refined
  BlockSearchSettings block;
  int startsRefined;  // starts tried on the refined modes, when more than block.starts
};

Search SearchFor(int effort) {
  // Measured on a 1920 x 1080 photograph: each effort is slower than the
  // one below it and its files smaller at equal fidelity. A refining pass
  // gains most for its time, then more starts on the mode to be refined,
  // then a second mode; raising levels and refining longer gain least.
  static constexpr std::array<Search, kHighestEffort + 1> kSearches = {{
      {1, 1, {1, 0, false}, 0},  // 0
      {1, 1, {1, 1, false}, 0},  // 1
      {1, 1, {1, 1, false}, 2},  // 2
      {2, 1, {1, 1, false}, 0},  // 3
      {2, 1, {1, 1, false}, 2},  // 4
      {2, 1, {1, 1, false}, 3},  // 5
      {2, 1, {2, 1, false}, 4},  // 6
      {3, 1, {2, 1, false}, 4},  // 7
      {8, 2, {4, 2, true}, 0},   // 8
      {8, 8, {4, 8, true}, 0},   // 9
  }};
  return kSearches[static_cast<size_t>(std::clamp(effort, kLowestEffort, kHighestEffort))];
}

// Written so that compilers use their sum-of-absolute-differences instructions.
int32_t AbsoluteDifferences(const Block& a, const Block& b) {
  int32_t sum = 0;
  for (int i = 0; i < 16; ++i) sum += a[i] > b[i] ? a[i] - b[i] : b[i] - a[i];
  return sum;
}

class TransformEncoder {
 public:
  TransformEncoder(const RgbPicture& picture, int quality, int effort)
      : width_(PaddedToBlocks(picture.width)),
        height_(PaddedToBlocks(picture.height)),
        quality_(*TransformQualityFor(quality)),
        search_(SearchFor(effort)),
        blocks_(quality_, search_.block) {
    const size_t planeSize = static_cast<size_t>(width_) * height_;
    for (int p = 0; p < kTransformPlaneCount; ++p) {
      source_[p].resize(planeSize);
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

  std::vector<uint8_t> Finish() { return bits_.Finish(); }

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
  // Padding columns and rows repeat the picture's last column and row.
  void FillPlanes(const RgbPicture& picture) {
    for (int32_t y = 0; y < height_; ++y) {
      const int32_t sourceY = std::min(y, picture.height - 1);
      for (int32_t x = 0; x < width_; ++x) {
        const int32_t sourceX = std::min(x, picture.width - 1);
        const uint8_t* rgb =
            &picture.rgb[3 * (static_cast<size_t>(sourceY) * picture.width + sourceX)];
        const size_t at = static_cast<size_t>(y) * width_ + x;
        for (int p = 0; p < kTransformPlaneCount; ++p) source_[p][at] = rgb[p];
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

  void Emit(const BlockTrial& trial, const Block& pred, int plane, size_t offset) {
    WriteCoefficientList(MakeCoefficientList(trial.levels), quality_.escapeWidth, bits_);
    Scatter(blocks_.Rebuild(pred, trial.levels), rebuilt_[plane], offset);
  }

  void EncodeFirstRowPosition(int32_t column) {
    const size_t offset = Offset(0, column);
    for (int p = 0; p < kTransformPlaneCount; ++p) {
      FirstRowDC(&rebuilt_[p][offset], width_, column == 0);
      const Block pred = Gather(rebuilt_[p], offset);
      const Block source = Gather(source_[p], offset);
      BlockTrial trial = blocks_.FirstChoice(pred, BlockSearch::Aim(source, p), source, p);
      blocks_.Refine(pred, source, p, trial);
      Emit(trial, pred, p, offset);
    }
  }

  Block Predict(int mode, int plane, size_t offset) const {
    Block pred;
    PredictIntra4x4(mode, PlaneNeighbours{&rebuilt_[plane][offset], width_}, pred.data(), 4);
    return pred;
  }

  struct ModeTrial {
    std::array<Block, kTransformPlaneCount> preds;
    std::array<BlockTrial, kTransformPlaneCount> coded;
    int32_t predictionError = 0;
    double cost = 0;
  };

  // Every mode's three predictions; the modes nearest the picture get their
  // levels chosen, and the cheapest of those on what the viewer shows get
  // more starts and are refined before the cheapest is coded.
  void EncodePredictedPosition(int32_t row, int32_t column) {
    const size_t offset = Offset(row, column);
    std::array<Block, kTransformPlaneCount> sources;
    std::array<AimedBlocks, kTransformPlaneCount> aims;
    for (int p = 0; p < kTransformPlaneCount; ++p) {
      sources[p] = Gather(source_[p], offset);
      aims[p] = BlockSearch::Aim(sources[p], p);
    }
    std::array<ModeTrial, kIntraModeCount> trials;
    std::array<int, kIntraModeCount> modes;
    std::iota(modes.begin(), modes.end(), 0);
    for (int mode = 0; mode < kIntraModeCount; ++mode) {
      for (int p = 0; p < kTransformPlaneCount; ++p) {
        trials[mode].preds[p] = Predict(mode, p, offset);
        trials[mode].predictionError +=
            AbsoluteDifferences(trials[mode].preds[p], aims[p].halfStepAbove);
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
      trial.cost = blocks_.Lambda() * kIntraModeBits;
      for (int p = 0; p < kTransformPlaneCount; ++p) {
        trial.coded[p] = blocks_.FirstChoice(trial.preds[p], aims[p], sources[p], p);
        trial.cost += trial.coded[p].cost;
      }
    }
    const int refined = std::min(search_.modesRefined, estimated);
    std::partial_sort(modes.begin(), modes.begin() + refined, modes.begin() + estimated,
                      [&](int a, int b) { return trials[a].cost < trials[b].cost; });
    int bestMode = modes[0];
    for (int k = 0; k < refined; ++k) {
      ModeTrial& trial = trials[modes[k]];
      trial.cost = blocks_.Lambda() * kIntraModeBits;
      for (int p = 0; p < kTransformPlaneCount; ++p) {
        if (search_.startsRefined > search_.block.starts) {
          blocks_.TryMoreStarts(trial.preds[p], aims[p], sources[p], p, search_.startsRefined,
                                trial.coded[p]);
        }
        blocks_.Refine(trial.preds[p], sources[p], p, trial.coded[p]);
        trial.cost += trial.coded[p].cost;
      }
      if (trial.cost < trials[bestMode].cost) bestMode = modes[k];
    }
    bits_.Put(static_cast<uint32_t>(bestMode), kIntraModeBits);
    for (int p = 0; p < kTransformPlaneCount; ++p) {
      Emit(trials[bestMode].coded[p], trials[bestMode].preds[p], p, offset);
    }
  }

  int32_t width_;
  int32_t height_;
  TransformQuality quality_;
  Search search_;
  BlockSearch blocks_;
  std::array<std::vector<uint8_t>, kTransformPlaneCount> source_;
  std::array<std::vector<uint8_t>, kTransformPlaneCount> rebuilt_;
  BitPacker bits_;
};

std::vector<uint8_t> FileOf(TransformEncoder& encoder, const VexoHeader& header) {
  std::vector<uint8_t> file = MakeVexoHeader(header);
  AppendLe32(file, 0);  // offsets 12 to 15 are not used on this path
  const std::vector<uint8_t> coded = encoder.Finish();
  file.insert(file.end(), coded.begin(), coded.end());
  return file;
}

}  // namespace

TransformEncoding EncodeTransformAndRebuild(const RgbPicture& picture, const VexoHeader& header,
                                            int effort) {
  TransformEncoder encoder(picture, header.quality, effort);
  encoder.Encode();
  std::vector<uint8_t> file = FileOf(encoder, header);
  return {std::move(file), encoder.Rebuilt565(picture.width, picture.height)};
}

std::vector<uint8_t> EncodeTransform(const RgbPicture& picture, const VexoHeader& header,
                                     int effort) {
  TransformEncoder encoder(picture, header.quality, effort);
  encoder.Encode();
  return FileOf(encoder, header);
}

}  // namespace vexo
