#include "transform/block_search.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>

#include "transform/coefficient_list_writer.h"
#include "transform/forward_transform.h"
#include "transform/inverse_transform.h"
#include "transform/level_code.h"

namespace vexo {
namespace {

constexpr double kLambdaPerSquaredStep = 0.05;

// The shown step of a plane: red and blue keep 5 bits, green 6.
constexpr int ShownStep(int plane) {
  return plane == 1 ? 4 : 8;
}

constexpr int32_t ShownMask(int plane) {
  return 256 - ShownStep(plane);
}

// The middle of the plane values the viewer shows as the 5-6-5 value nearest
// to the source: every value in [lo, lo + step) looks the same.
uint8_t MiddleOfShownStep(uint8_t source, int plane) {
  const int step = ShownStep(plane);
  const int top = 256 / step - 1;
  const int lo = std::min(top, (source + step / 2) / step) * step;
  return static_cast<uint8_t>(lo + step / 2);
}

uint8_t Above(uint8_t source, int by) {
  return static_cast<uint8_t>(std::min(255, source + by));
}

// Where each start aims, and how sparse its levels are. Aiming at the
// middle of the nearest shown step pays while the quantiser can place a
// sample within a step; once its step is coarser than the shown one, aiming
// half a shown step above the source (what the dropped low bits cost on
// average) does better. The other starts differ often enough from both to
// win a good share of blocks.
struct Start {
  AimedBlocks::Member aim;
  double lambdaScale;
};

constexpr std::array<Start, kMostStarts> kStarts = {{
    {&AimedBlocks::middleOfShownStep, 1},
    {&AimedBlocks::halfStepAbove, 1},
    {&AimedBlocks::quarterStepAbove, 1},
    {&AimedBlocks::middleOfShownStep, 0.3},
}};

// Squared error of a unit level at each scan position in sample values:
// the inverse transform is (M d M^T) / 64 with orthogonal M whose columns
// have squared norms 4, 2.5, 4, 2.5.
std::array<float, 16> LevelWeights(const DequantSteps& steps) {
  constexpr double kNorm[4] = {4, 2.5, 4, 2.5};
  std::array<float, 16> weights{};
  for (int p = 0; p < kCoefficientCount; ++p) {
    const int index = ScanOrder[p];
    const double unit = steps[p] / 64.0;
    weights[p] = static_cast<float>(unit * unit * kNorm[index / 4] * kNorm[index % 4]);
  }
  return weights;
}

// The residual of a level of 1 at each scan position.
template <typename Residual>
std::array<Residual, 16> UnitResiduals(const DequantSteps& steps) {
  std::array<Residual, 16> units;
  for (int p = 0; p < kCoefficientCount; ++p) {
    BlockCoefficients coefficients{};
    coefficients[ScanOrder[p]] = steps[p];
    InverseTransform4x4(coefficients);
    std::copy(coefficients.begin(), coefficients.end(), units[p].begin());
  }
  return units;
}

int32_t ShownError(const Block& rebuilt, const Block& source, int plane) {
  const int32_t mask = ShownMask(plane);
  int32_t sum = 0;
  for (int i = 0; i < 16; ++i) {
    const int32_t difference = (rebuilt[i] & mask) - source[i];
    sum += difference * difference;
  }
  return sum;
}

template <typename Residual>
[[gnu::always_inline]] inline int32_t ShownErrorOf(const Block& pred, const Residual& residual,
                                                   const Block& source, int plane) {
  const int32_t mask = ShownMask(plane);
  int32_t sum = 0;
  for (int i = 0; i < 16; ++i) {
    const int32_t sample = std::clamp(pred[i] + ((residual[i] + 32) >> 6), 0, 255);
    const int32_t difference = (sample & mask) - source[i];
    sum += difference * difference;
  }
  return sum;
}

int NonZeroCount(const Levels& levels) {
  return static_cast<int>(
      std::count_if(levels.begin(), levels.end(), [](int32_t level) { return level != 0; }));
}

}  // namespace

BlockSearch::BlockSearch(const TransformQuality& quality, BlockSearchSettings settings)
    : steps_(MakeDequantSteps(quality)),
      weights_(LevelWeights(steps_)),
      unitResiduals_(UnitResiduals<Residual>(steps_)),
      maxLevel_(LargestLevel(quality.escapeWidth)),
      escapeBits_(kMaxLevelCodeBits + quality.escapeWidth + kRunBits),
      // Every coefficient is a multiple of 4 from quantShift 2 on, so the
      // transform's halvings lose nothing and residuals simply add up.
      linearExact_(quality.quantShift >= 2),
      settings_(settings) {
  for (int p = 0; p < kCoefficientCount; ++p) {
    estimateScales_[p] = 64.0F / static_cast<float>(kForwardDivisors[ScanOrder[p]] * steps_[p]);
  }
  // Lambda follows the square of the lowest-frequency step in orthonormal
  // units (four times its step in sample values).
  const double step = steps_[0] / 16.0;
  lambda_ = kLambdaPerSquaredStep * step * step;
  settings_.starts = std::clamp(settings_.starts, 1, kMostStarts);
  // A search of one start takes the better single aim for this step first.
  const bool halfAboveFirst = settings_.starts == 1 && step >= ShownStep(0);
  for (int k = 0; k < kMostStarts; ++k) {
    const int order = halfAboveFirst && k < 2 ? 1 - k : k;
    const Start& start = kStarts[static_cast<size_t>(order)];
    StartLambda& lambda = startLambdas_[static_cast<size_t>(k)];
    lambda.lambda = static_cast<float>(lambda_ * start.lambdaScale);
    aims_[static_cast<size_t>(k)] = start.aim;
    // Below 1, zero wins unless a level of 1 saves more than its bits:
    // unless weight x (2 x magnitude - 1) > lambda x its bits.
    for (int p = 0; p < kCoefficientCount; ++p) {
      lambda.zeroBelow[p] = (lambda.lambda * kShortLevelBits / weights_[p] + 1) / 2;
    }
  }
}

AimedBlocks BlockSearch::Aim(const Block& source, int plane) {
  AimedBlocks aims;
  const int step = ShownStep(plane);
  for (int i = 0; i < 16; ++i) {
    aims.middleOfShownStep[i] = MiddleOfShownStep(source[i], plane);
    aims.halfStepAbove[i] = Above(source[i], step / 2);
    aims.quarterStepAbove[i] = Above(source[i], step / 4);
  }
  return aims;
}

int BlockSearch::ListBits(const Levels& levels) const {
  int bits = 0;
  for (const int32_t level : levels) bits += LevelBits(level);
  return bits + (NonZeroCount(levels) < kCoefficientCount ? 1 : 0);
}

// The residual over pred in unrounded levels, aiming at `aim` (or one below
// it for the samples predicted there).
BlockSearch::Estimate BlockSearch::Unrounded(const Block& pred, const Block& aim) const {
  std::array<int32_t, 16> residual;
  for (int i = 0; i < 16; ++i) {
    residual[i] = std::clamp<int>(pred[i], aim[i] - 1, aim[i]) - pred[i];
  }
  const auto coefficients = ForwardTransform4x4(residual);
  Estimate values;
  for (int p = 0; p < kCoefficientCount; ++p) {
    values[p] = static_cast<float>(coefficients[ScanOrder[p]]) * estimateScales_[p];
  }
  return values;
}

// Each level on its own by squared error plus lambda times its bits, which
// is exact for the unclamped transform: the basis is orthogonal and a
// level's bits do not depend on where it lies. Returns the list's bits.
int BlockSearch::ChooseLevels(const Estimate& values, const StartLambda& start,
                              Levels& levels) const {
  // Most values fall below the zero threshold: a first pass without branches
  // finds the few that do not.
  uint32_t kept = 0;
  for (int p = 0; p < kCoefficientCount; ++p) {
    const float magnitude = std::abs(values[p]);
    kept |= static_cast<uint32_t>((magnitude >= 1) | (magnitude > start.zeroBelow[p])) << p;
  }
  levels = Levels{};
  if (kept == 0) return 1;
  const float lambda = start.lambda;
  int bits = 0;
  int count = 0;
  for (; kept != 0; kept &= kept - 1) {
    const int p = std::countr_zero(kept);
    const float magnitude = std::abs(values[p]);
    const float weight = weights_[p];
    const int32_t sign = values[p] < 0 ? -1 : 1;
    const int32_t below = std::min(static_cast<int32_t>(magnitude), maxLevel_);
    float best = weight * magnitude * magnitude;
    int bestBits = 0;
    for (const int32_t candidate : {below, below + 1}) {
      if (candidate == 0 || candidate > maxLevel_) continue;
      const float error = magnitude - static_cast<float>(candidate);
      const int candidateBits = LevelBits(sign * candidate);
      const float trial = weight * error * error + lambda * static_cast<float>(candidateBits);
      if (trial < best) {
        best = trial;
        bestBits = candidateBits;
        levels[p] = sign * candidate;
      }
    }
    bits += bestBits;
    count += bestBits != 0;
  }
  return bits + (count < kCoefficientCount ? 1 : 0);
}

BlockSearch::Residual BlockSearch::ResidualOf(const Levels& levels) const {
  Residual residual{};
  for (int p = 0; p < kCoefficientCount; ++p) {
    if (levels[p] != 0) AddUnitResidual(residual, p, levels[p]);
  }
  return residual;
}

Block BlockSearch::Rebuild(const Block& pred, const Levels& levels) const {
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

int32_t BlockSearch::ShownDistortion(const Block& pred, const Levels& levels, const Block& source,
                                     int plane) const {
  if (linearExact_) return ShownErrorOf(pred, ResidualOf(levels), source, plane);
  return ShownError(Rebuild(pred, levels), source, plane);
}

BlockTrial BlockSearch::Evaluated(const Block& pred, const Levels& levels, const Block& source,
                                  int plane) const {
  BlockTrial trial{levels, ListBits(levels), ShownDistortion(pred, levels, source, plane), 0};
  trial.cost = trial.distortion + lambda_ * trial.bits;
  return trial;
}

BlockTrial BlockSearch::Bare(const Block& pred, const Block& source, int plane) const {
  return Evaluated(pred, Levels{}, source, plane);
}

BlockTrial BlockSearch::FirstChoice(const Block& pred, const AimedBlocks& aims, const Block& source,
                                    int plane) const {
  BlockTrial best = Bare(pred, source, plane);
  TryStarts(pred, aims, source, plane, 0, settings_.starts, best);
  return best;
}

void BlockSearch::TryMoreStarts(const Block& pred, const AimedBlocks& aims, const Block& source,
                                int plane, int upTo, BlockTrial& best) const {
  TryStarts(pred, aims, source, plane, settings_.starts, std::min(upTo, kMostStarts), best);
}

void BlockSearch::TryStarts(const Block& pred, const AimedBlocks& aims, const Block& source,
                            int plane, int from, int to, BlockTrial& best) const {
  for (int k = from; k < to; ++k) {
    Levels levels;
    const int bits = ChooseLevels(Unrounded(pred, aims.*aims_[static_cast<size_t>(k)]),
                                  startLambdas_[static_cast<size_t>(k)], levels);
    if (bits == 1 || levels == best.levels) continue;
    BlockTrial trial{levels, bits, ShownDistortion(pred, levels, source, plane), 0};
    trial.cost = trial.distortion + lambda_ * bits;
    if (trial.cost < best.cost) best = trial;
  }
}

// Each try updates the residual by one unit residual instead of rebuilding
// the block. Below quantShift 2 that sum is close to, not exactly, what the
// decoder rebuilds, so the result is measured again exactly and kept only if
// it is really cheaper.
void BlockSearch::Refine(const Block& pred, const Block& source, int plane,
                         BlockTrial& trial) const {
  if (settings_.refinePasses == 0 || (trial.bits == 1 && !settings_.tryRaising)) return;
  Levels levels = trial.levels;
  Residual residual = ResidualOf(levels);
  int bits = trial.bits;
  int count = NonZeroCount(levels);
  double cost = ShownErrorOf(pred, residual, source, plane) + lambda_ * bits;
  bool changed = false;
  for (int pass = 0; pass < settings_.refinePasses; ++pass) {
    bool improved = false;
    for (int p = kCoefficientCount - 1; p >= 0; --p) {
      const int32_t level = levels[p];
      int32_t candidates[3];
      int candidateCount = 0;
      if (level == 0) {
        if (!settings_.tryRaising) continue;
        candidates[candidateCount++] = 1;
        candidates[candidateCount++] = -1;
      } else {
        const int32_t sign = level > 0 ? 1 : -1;
        candidates[candidateCount++] = level - sign;
        if (level - sign != 0) candidates[candidateCount++] = 0;
        if (settings_.tryRaising && std::abs(level) < maxLevel_) {
          candidates[candidateCount++] = level + sign;
        }
      }
      for (int c = 0; c < candidateCount; ++c) {
        const int32_t candidate = candidates[c];
        const int newCount = count + (candidate != 0) - (level != 0);
        const int newBits = bits - LevelBits(level) + LevelBits(candidate) +
                            (newCount < kCoefficientCount) - (count < kCoefficientCount);
        Residual moved = residual;
        AddUnitResidual(moved, p, candidate - level);
        const double newCost = ShownErrorOf(pred, moved, source, plane) + lambda_ * newBits;
        if (newCost < cost) {
          levels[p] = candidate;
          residual = moved;
          bits = newBits;
          count = newCount;
          cost = newCost;
          improved = changed = true;
          break;
        }
      }
    }
    if (!improved) break;
  }
  if (!changed) return;
  const BlockTrial refined = Evaluated(pred, levels, source, plane);
  if (refined.cost < trial.cost) trial = refined;
}

}  // namespace vexo
