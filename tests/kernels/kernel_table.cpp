// The kernels' entries: for each family, the sets to check against its
// plain set, the build's own (kernel_choice.h: the code shifts of every set
// it runs) and the portable ones that run everywhere. A set whose function is the plain one, or one
// listed before it (a set that inherits it), is left out.
#include "kernel_table.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "arm/arm_transform_kernels.h"
#include "kernel_choice.h"
#include "predictive/code_shift.h"
#include "transform/compact_transform_kernels.h"
#include "transform/portable_transform_kernels.h"
#include "transform/transform_format.h"

namespace vexo::kernel_check {
namespace {

template <class T>
T Read(const uint8_t* at) {
  T value;
  std::memcpy(&value, at, sizeof value);
  return value;
}

template <class T>
void Write(uint8_t* at, T value) {
  std::memcpy(at, &value, sizeof value);
}

void RandomBytes(Random& random, uint8_t* bytes, size_t count) {
  for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<uint8_t>(random.Next());
}

// The code shifts: input the value, the amount, a second word and the
// window's offset; output the three results.
struct CodeShifts {
  using Plain = CodeShiftPlain;
  static constexpr const char* kName = "code shifts";
  static constexpr size_t kOutputBytes = 12;
  static constexpr int kTrials = 20000;
  template <class Set>
  static constexpr auto Of() {
    return &Set::JoinWindow;
  }
  // Every low byte of the amount in turn, with noise above it.
  static void Generate(Random& random, int trial, TrialData& data) {
    const uint32_t amount = (random.Next() & ~0xFFu) | (static_cast<uint32_t>(trial) & 0xFF);
    Write(data.input, random.Next());
    Write(data.input + 4, amount);
    Write(data.input + 8, random.Next());
    Write(data.input + 12,
          amount - (static_cast<uint32_t>(trial) & 0xE0));  // a low byte of 0 to 31
  }
  template <class Set>
  static void Run(const uint8_t* input, uint8_t* output) {
    const auto value = Read<uint32_t>(input), amount = Read<uint32_t>(input + 4);
    Write(output, Set::ShiftLeft(value, amount));
    Write(output + 4, Set::ShiftRight(value, amount));
    Write(output + 8,
          Set::JoinWindow(value, Read<uint32_t>(input + 8), Read<uint32_t>(input + 12)));
  }
};

// The pixel-pair chain: input the start, the deltas, the row length and
// where the first row starts (any byte).
struct PixelPairChains {
  using Plain = PixelPairChainPlain;
  static constexpr const char* kName = "pixel-pair chain";
  static constexpr size_t kOutputBytes = 3 + 3 * 12 + 4;
  static constexpr int kTrials = 5000;
  template <class Set>
  static constexpr auto Of() {
    return &Set::Chain;
  }
  static void Generate(Random& random, int, TrialData& data) {
    RandomBytes(random, data.input, 4 + 4 * kPixelPairChainLength);
    data.input[20] = static_cast<uint8_t>(4 + random.Below(9));  // 4 to 12 bytes a row
    data.input[21] = static_cast<uint8_t>(random.Below(4));
    RandomBytes(random, data.output, kOutputBytes);
  }
  template <class Set>
  static void Run(const uint8_t* input, uint8_t* output) {
    uint32_t deltas[kPixelPairChainLength];
    std::memcpy(deltas, input + 4, sizeof deltas);
    Set::Chain(output + input[21], input[20], Read<uint32_t>(input), deltas);
  }
};

// The 8 predictions in turn, from random neighbours (every fourth trial
// only 0 and 255, the extremes of the filters): input the mode, the corner
// and the row above (input 3 to 11) and the block before (input 16 to 31),
// whose last column is the left one; output the block.
struct Predictions {
  using Plain = PlainTransformKernels;
  static constexpr const char* kName = "intra prediction";
  static constexpr size_t kOutputBytes = 16;
  static constexpr int kTrials = 8 * 500;
  template <class Set>
  static constexpr auto Of() {
    return static_cast<void (*)(const uint8_t*, const uint8_t*, uint8_t*)>(
        &Set::template Predict<kIntraDiagDownRight>);
  }
  static void Generate(Random& random, int trial, TrialData& data) {
    data.input[0] = static_cast<uint8_t>(trial % kIntraModeCount);
    for (int i = 1; i < 32; ++i) {
      const uint32_t sample = random.Next();
      data.input[i] = static_cast<uint8_t>(trial % 4 == 0 ? (sample & 1) * 255 : sample);
    }
    RandomBytes(random, data.output, kOutputBytes);
  }
  template <class Set, int kMode>
  static void PredictMode(const uint8_t* neighbours, uint8_t* block) {
    Set::template Predict<kMode>(neighbours + 4, neighbours + 16 + 3, block);
  }
  template <class Set>
  static void Run(const uint8_t* input, uint8_t* output) {
    // The row above on a 4-byte boundary, as in the decoder's history.
    alignas(16) uint8_t neighbours[32];
    std::memcpy(neighbours, input, sizeof neighbours);
    switch (input[0]) {
      case 0:
        return PredictMode<Set, 0>(neighbours, output);
      case 1:
        return PredictMode<Set, 1>(neighbours, output);
      case 2:
        return PredictMode<Set, 2>(neighbours, output);
      case 3:
        return PredictMode<Set, 3>(neighbours, output);
      case 4:
        return PredictMode<Set, 4>(neighbours, output);
      case 5:
        return PredictMode<Set, 5>(neighbours, output);
      case 6:
        return PredictMode<Set, 6>(neighbours, output);
      default:
        return PredictMode<Set, 7>(neighbours, output);
    }
  }
};

// Small and huge coefficients, all or only the lowest, onto a random
// prediction: input the mask and the 16 coefficients; output the block.
struct Reconstructions {
  using Plain = PlainTransformKernels;
  static constexpr const char* kName = "reconstruction";
  static constexpr size_t kOutputBytes = 16;
  static constexpr int kTrials = 5 * 4000;
  template <class Set>
  static constexpr auto Of() {
    return &Set::Reconstruct;
  }
  static void Generate(Random& random, int trial, TrialData& data) {
    struct Draw {
      int32_t limit;  // coefficients from -limit to limit
      bool lowestOnly;
    };
    constexpr Draw kDraws[] = {
        {400, false}, {1 << 22, false}, {1 << 20, true}, {300, true}, {20000, true}};
    const Draw draw = kDraws[trial % 5];
    CoefficientMask mask = 0;
    for (int i = 0; i < kCoefficientCount; ++i) {
      int32_t coefficient = 0;
      if ((i == 0 || !draw.lowestOnly) && random.Below(3) != 0) {
        coefficient =
            static_cast<int32_t>(random.Below(2 * static_cast<uint32_t>(draw.limit) + 1)) -
            draw.limit;
      }
      if (coefficient != 0) mask |= CoefficientMask{1} << i;
      Write(data.input + 4 + 4 * i, coefficient);
    }
    Write(data.input, mask);
    RandomBytes(random, data.output, kOutputBytes);
  }
  template <class Set>
  static void Run(const uint8_t* input, uint8_t* output) {
    BlockCoefficients coefficients;
    std::memcpy(coefficients.data(), input + 4, sizeof coefficients);
    Set::Reconstruct(output, coefficients, Read<CoefficientMask>(input));
  }
};

// The three planes' blocks (input 16 to 63, on 16-byte boundaries as in the
// decoder) packed into output rows: input the columns, rows, output stride,
// first pixel and byte order.
template <class Packing>
struct PackingOf {
  using Plain = PlainTransformKernels;
  static void Generate(Random& random, int, TrialData& data) {
    Packing::Shape(random, data.input);
    data.input[4] = static_cast<uint8_t>(random.Below(2));  // byte-swapped
    RandomBytes(random, data.input + 16, 48);
    RandomBytes(random, data.output, Packing::kOutputBytes);
  }
  template <class Set>
  static void Run(const uint8_t* input, uint8_t* output) {
    alignas(16) uint8_t planes[3][16];
    std::memcpy(planes, input + 16, sizeof planes);
    uint16_t* out = reinterpret_cast<uint16_t*>(output) + input[3];
    Packing::template Pack<Set>(planes, input[0], input[1], out, input[2], input[4] != 0);
  }
};

// A block clipped at the picture's edge, or with rows anywhere.
struct ClippedPacking : PackingOf<ClippedPacking> {
  static constexpr const char* kName = "packing";
  static constexpr size_t kOutputBytes = 2 * (1 + 3 * 9 + 4);
  static constexpr int kTrials = 4000;
  template <class Set>
  static constexpr auto Of() {
    return &Set::Pack;
  }
  static void Shape(Random& random, uint8_t* shape) {
    shape[0] = static_cast<uint8_t>(1 + random.Below(4));                     // columns
    shape[1] = static_cast<uint8_t>(1 + random.Below(4));                     // rows
    shape[2] = static_cast<uint8_t>(shape[0] + random.Below(10 - shape[0]));  // stride
    shape[3] = static_cast<uint8_t>(random.Below(2));                         // first pixel
  }
  template <class Set>
  static void Pack(const uint8_t (&planes)[3][16], int32_t columns, int32_t rows, uint16_t* out,
                   ptrdiff_t stride, bool byteSwapped) {
    Set::Pack(planes[0], planes[1], planes[2], columns, rows, out, stride, byteSwapped);
  }
};

// A whole block into rows on 4-byte boundaries.
struct WholePacking : PackingOf<WholePacking> {
  static constexpr const char* kName = "whole-block packing";
  static constexpr size_t kOutputBytes = 2 * (3 * 12 + 4);
  static constexpr int kTrials = 2000;
  template <class Set>
  static constexpr auto Of() {
    return &Set::PackWhole;
  }
  static void Shape(Random& random, uint8_t* shape) {
    shape[0] = shape[1] = 4;
    shape[2] = static_cast<uint8_t>(4 + 2 * random.Below(5));  // 4 to 12 pixels a row
    shape[3] = 0;
  }
  template <class Set>
  static void Pack(const uint8_t (&planes)[3][16], int32_t, int32_t, uint16_t* out,
                   ptrdiff_t stride, bool byteSwapped) {
    Set::PackWhole(planes[0], planes[1], planes[2], out, stride, byteSwapped);
  }
};

struct Candidate {
  KernelEntry entry;
  bool kept;
};

template <class Family, class Set>
constexpr KernelEntry EntryOf() {
  return {Family::kName,
          Set::kName,
          Family::template Run<typename Family::Plain>,
          Family::template Run<Set>,
          Family::Generate,
          Family::kOutputBytes,
          Family::kTrials,
          nullptr};
}

// The family's entry for each set, kept where the set's kernel is its own.
template <class Family, class... Sets>
constexpr std::array<Candidate, sizeof...(Sets)> Candidates() {
  static_assert(Family::kName[0] != '\0' && Family::kTrials > 0);
  static_assert(Family::kOutputBytes <= kMaxOutputBytes, "the checker's output holds the kernel's");
  using Kernel = decltype(Family::template Of<typename Family::Plain>());
  const std::array<Kernel, sizeof...(Sets)> kernels{Family::template Of<Sets>()...};
  std::array<Candidate, sizeof...(Sets)> candidates{Candidate{EntryOf<Family, Sets>(), true}...};
  for (size_t i = 0; i < kernels.size(); ++i) {
    candidates[i].kept = kernels[i] != Family::template Of<typename Family::Plain>();
    for (size_t j = 0; j < i; ++j) candidates[i].kept &= kernels[j] != kernels[i];
  }
  return candidates;
}

// The sets a set builds on first, so that an inherited kernel is named
// after the set that has it.
template <class Family, class... Sets>
constexpr auto CandidatesOf(KernelSets<Sets...>) {
  return Candidates<Family, Sets...>();
}

template <class Family>
constexpr auto TransformCandidates() {
  return Candidates<Family, WordTransformKernels, CompactTransformKernels, ArmTransformKernels,
                    BuildKernels::Transform>();
}

template <size_t... kSizes>
constexpr auto Join(const std::array<Candidate, kSizes>&... parts) {
  std::array<Candidate, (kSizes + ...)> all{};
  size_t at = 0;
  ((std::copy(parts.begin(), parts.end(), all.begin() + at), at += kSizes), ...);
  return all;
}

constexpr auto kCandidates =
    Join(CandidatesOf<CodeShifts>(BuildKernels::CodeShiftSets{}),
         Candidates<PixelPairChains, BuildKernels::PixelPairChain>(),
         TransformCandidates<Predictions>(), TransformCandidates<Reconstructions>(),
         TransformCandidates<ClippedPacking>(), TransformCandidates<WholePacking>());

constexpr size_t CountKept() {
  size_t count = 0;
  for (const Candidate& candidate : kCandidates) count += candidate.kept ? 1 : 0;
  return count;
}

constexpr auto kEntries = [] {
  std::array<KernelEntry, CountKept()> entries{};
  size_t at = 0;
  for (const Candidate& candidate : kCandidates) {
    if (candidate.kept) entries[at++] = candidate.entry;
  }
  return entries;
}();

}  // namespace

std::span<const KernelEntry> KernelEntries() {
  return kEntries;
}

}  // namespace vexo::kernel_check
