// The levels of one block of one plane, chosen by distortion plus lambda
// times bits, with the distortion measured on what the viewer shows: the
// rebuilt samples packed to 5-6-5 against the 8-bit source.
//
// A first choice comes from a quadratic estimate in the transform domain,
// made from a few starts; the cheapest start on the shown picture is then
// refined one level at a time. The estimate alone cannot see that every
// value within a shown step looks the same, which is what the starts and the
// refinement are for.
#pragma once

#include <array>
#include <cstdint>

#include "transform/dequantisation.h"
#include "transform/level_code.h"
#include "transform/quality_tables.h"

namespace vexo {

using Block = std::array<uint8_t, 16>;   // 4 x 4 samples, stride 4
using Levels = std::array<int32_t, 16>;  // by scan position

// A block's samples as each start aims at them (see block_search.cpp).
struct AimedBlocks {
  Block middleOfShownStep;
  Block halfStepAbove;
  Block quarterStepAbove;

  using Member = const Block AimedBlocks::*;
};

// One way to code a block: its levels and what they cost.
struct BlockTrial {
  Levels levels;
  int bits;
  int32_t distortion;  // squared error of the shown samples
  double cost;         // distortion + lambda x bits
};

struct BlockSearchSettings {
  int starts;        // 1 to kMostStarts first choices tried
  int refinePasses;  // passes over a list's levels on the shown picture
  bool tryRaising;   // also try levels one step further from 0
};

inline constexpr int kMostStarts = 4;

class BlockSearch {
 public:
  BlockSearch(const TransformQuality& quality, BlockSearchSettings settings);

  double Lambda() const { return lambda_; }

  static AimedBlocks Aim(const Block& source, int plane);

  BlockTrial Bare(const Block& pred, const Block& source, int plane) const;

  // The cheapest of the starts and the bare prediction.
  BlockTrial FirstChoice(const Block& pred, const AimedBlocks& aims, const Block& source,
                         int plane) const;

  // Tries the starts after the settings' own, up to `upTo` in all, on a
  // block that deserves a longer search.
  void TryMoreStarts(const Block& pred, const AimedBlocks& aims, const Block& source, int plane,
                     int upTo, BlockTrial& best) const;

  // Lowers `trial`'s cost by moving single levels, as the settings allow.
  void Refine(const Block& pred, const Block& source, int plane, BlockTrial& trial) const;

  // Exactly what the decoder rebuilds from `pred` and `levels`.
  Block Rebuild(const Block& pred, const Levels& levels) const;

 private:
  using Estimate = std::array<float, 16>;    // unrounded levels by scan position
  using Residual = std::array<int32_t, 16>;  // 64 x each sample's correction

  static constexpr int kShortLevelBits = 3 + kRunBits;  // -1, +1, +2; -2 takes one more

  [[gnu::always_inline]] int LevelBits(int32_t level) const {
    switch (level) {
      case 0:
        return 0;
      case -1:
      case 1:
      case 2:
        return kShortLevelBits;
      case -2:
        return kShortLevelBits + 1;
      default:
        return escapeBits_;
    }
  }
  int ListBits(const Levels& levels) const;
  Estimate Unrounded(const Block& pred, const Block& aim) const;
  // Lambda of one start, and the magnitude below which each position's
  // level is 0 with it.
  struct StartLambda {
    float lambda;
    std::array<float, 16> zeroBelow;
  };

  void TryStarts(const Block& pred, const AimedBlocks& aims, const Block& source, int plane,
                 int from, int to, BlockTrial& best) const;
  int ChooseLevels(const Estimate& values, const StartLambda& start, Levels& levels) const;
  Residual ResidualOf(const Levels& levels) const;
  [[gnu::always_inline]] void AddUnitResidual(Residual& residual, int position,
                                              int32_t times) const {
    const Residual& unit = unitResiduals_[static_cast<size_t>(position)];
    for (int i = 0; i < 16; ++i) residual[i] += times * unit[i];
  }
  int32_t ShownDistortion(const Block& pred, const Levels& levels, const Block& source,
                          int plane) const;
  BlockTrial Evaluated(const Block& pred, const Levels& levels, const Block& source,
                       int plane) const;

  DequantSteps steps_;
  std::array<float, 16> estimateScales_;  // forward-transform output to levels
  std::array<float, 16> weights_;
  std::array<Residual, 16> unitResiduals_;
  int32_t maxLevel_;
  int escapeBits_;  // escape code, magnitude and run
  double lambda_;
  bool linearExact_;
  BlockSearchSettings settings_;
  std::array<AimedBlocks::Member, kMostStarts> aims_;
  std::array<StartLambda, kMostStarts> startLambdas_;
};

}  // namespace vexo
