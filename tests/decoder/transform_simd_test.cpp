// The transform path's kernels: the plain packing against the per-pixel rule,
// and every variant this processor runs (and the small policy's compact
// kernels) against its plain version on random input, with guard samples
// round the output that must stay intact.
#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <random>
#include <utility>
#include <vector>

#include "arm/reconstruction_arm.h"
#include "transform/compact_transform_kernels.h"
#include "transform/intra_prediction.h"
#include "transform/inverse_transform.h"
#include "transform/pixel_packing.h"
#include "transform/transform_format.h"

#if defined(__x86_64__)
#include "x86/intra_prediction_sse2.h"
#include "x86/pixel_packing_sse2.h"
#include "x86/reconstruction_sse2.h"
#endif

namespace vexo::testing {
namespace {

// A block as the decoder keeps it: 16 samples in a row (rows 4 samples
// apart) on a 16-byte boundary, with kGuard guard samples before and after.
constexpr int kGuard = 16;
constexpr ptrdiff_t kBlockStride = 4;
struct GuardedBlock {
  alignas(16) std::array<uint8_t, kGuard + 16 + kGuard> samples;
  uint8_t* Block() { return samples.data() + kGuard; }
  bool operator==(const GuardedBlock&) const = default;
};

GuardedBlock RandomBlock(std::mt19937& random) {
  GuardedBlock block;
  for (auto& sample : block.samples) sample = static_cast<uint8_t>(random());
  return block;
}

// Small and huge coefficients, all or only the lowest, on random samples.
template <class Reconstructor>
void ExpectReconstructionAsPlain(Reconstructor reconstruct, unsigned seed) {
  struct Draw {
    int32_t limit;  // coefficients drawn from -limit to limit
    bool lowestOnly;
  };
  std::mt19937 random(seed);
  for (const Draw draw : {Draw{400, false}, Draw{1 << 22, false}, Draw{1 << 20, true},
                          Draw{300, true}, Draw{20000, true}}) {
    std::uniform_int_distribution<int32_t> coefficient(-draw.limit, draw.limit);
    for (int trial = 0; trial < 4000; ++trial) {
      GuardedBlock plain = RandomBlock(random);
      GuardedBlock other = plain;
      BlockCoefficients d{};
      CoefficientMask mask = 0;
      for (int i = 0; i < kCoefficientCount; ++i) {
        if ((draw.lowestOnly && i > 0) || random() % 3 == 0) continue;
        d[i] = coefficient(random);
        if (d[i] != 0) mask |= CoefficientMask{1} << i;
      }
      BlockCoefficients copy = d;
      reconstruct(other.Block(), copy, mask);
      ReconstructBlock(plain.Block(), kBlockStride, d, mask);
      ASSERT_EQ(other, plain) << "limit " << draw.limit << ", trial " << trial << ", mask " << mask;
    }
  }
}

// Portable C++: held to the plain version on the host as on ARM.
TEST(ReconstructionArm, MatchesPlainReconstruction) {
  ExpectReconstructionAsPlain(
      [](uint8_t* block, BlockCoefficients& d, CoefficientMask mask) {
        ReconstructBlockArm(block, kBlockStride, d, mask);
      },
      19);
}

TEST(CompactTransformKernels, ReconstructAsPlain) {
  ExpectReconstructionAsPlain(CompactTransformKernels::Reconstruct, 23);
}

#if defined(__x86_64__)

TEST(ReconstructionSse2, MatchesPlainReconstruction) {
  ExpectReconstructionAsPlain(ReconstructBlockSse2, 17);
}

template <int... kModes>
constexpr auto PredictorsSse2(std::integer_sequence<int, kModes...>) {
  return std::array{&PredictIntra4x4Sse2<kModes>...};
}

// Every mode from random neighbours (often only 0 and 255, the extremes of
// the filters), into a block between guard samples.
TEST(IntraPredictionSse2, EveryModeMatchesThePlainPrediction) {
  constexpr auto kPredictors = PredictorsSse2(std::make_integer_sequence<int, kIntraModeCount>());
  std::mt19937 random(29);
  for (int trial = 0; trial < 3000; ++trial) {
    // The corner and the row above, then the block before (its last column
    // the left column).
    std::array<uint8_t, 1 + 8 + 16> neighbours;
    for (auto& sample : neighbours)
      sample = static_cast<uint8_t>(trial % 4 == 0 ? random() % 2 * 255 : random());
    const uint8_t* above = neighbours.data() + 1;
    const uint8_t* left = neighbours.data() + 9 + 3;
    const GuardedBlock start = RandomBlock(random);
    for (int mode = 0; mode < kIntraModeCount; ++mode) {
      GuardedBlock expected = start, got = start;
      PredictIntra4x4(mode, BlockNeighbours{above, left}, expected.Block(), kBlockStride);
      kPredictors[mode](above, left, got.Block());
      ASSERT_EQ(got, expected) << "mode " << mode << ", trial " << trial;
    }
  }
}

#endif  // defined(__x86_64__)

// Three planes of random samples, rows `stride` apart, and an output whose
// rows `outStride` apart are followed by guard pixels.
struct PackingCase {
  int32_t width, rows;
  ptrdiff_t planeStride, outStride;
  bool byteSwapped;
};

constexpr uint16_t kGuardPixel = 0xA5A5;

struct PackingPlanes {
  explicit PackingPlanes(const PackingCase& c, std::mt19937& random)
      : samples(3 * static_cast<size_t>(c.planeStride) * c.rows) {
    for (auto& sample : samples) sample = static_cast<uint8_t>(random());
  }
  const uint8_t* Plane(int p, const PackingCase& c) const {
    return samples.data() + p * c.planeStride * c.rows;
  }
  std::vector<uint8_t> samples;
};

std::vector<uint16_t> GuardedOutput(const PackingCase& c) {
  return std::vector<uint16_t>(static_cast<size_t>(c.outStride) * c.rows + 8, kGuardPixel);
}

template <class Packer>
std::vector<uint16_t> Pack(Packer pack, const PackingPlanes& planes, const PackingCase& c) {
  std::vector<uint16_t> out = GuardedOutput(c);
  pack(planes.Plane(0, c), planes.Plane(1, c), planes.Plane(2, c), c.planeStride, c.width, c.rows,
       out.data(), c.outStride, c.byteSwapped);
  return out;
}

// Widths around the vector runs, rows packed up to the width only, outputs
// with and without a gap after each row, both byte orders.
std::vector<PackingCase> PackingCases() {
  std::vector<PackingCase> cases;
  for (int32_t columns = 1; columns <= 4; ++columns) {  // a block, clipped as at the edges
    for (int32_t rows = 1; rows <= 4; ++rows) {
      for (const bool swapped : {false, true}) cases.push_back({columns, rows, 4, 9, swapped});
    }
  }
  for (int32_t width = 1; width <= 40; ++width) {
    for (const ptrdiff_t gap : {0, 3}) {
      for (const bool swapped : {false, true}) {
        cases.push_back({width, 3, PaddedToBlocks(width) + 4, width + gap, swapped});
      }
    }
  }
  return cases;
}

TEST(PixelPacking, KeepsTheHighBitsOfEachColour) {
  struct Colour {
    uint8_t red, green, blue;
    uint16_t pixel;
  };
  for (const Colour c :
       {Colour{255, 0, 0, 0xF800}, Colour{0, 255, 0, 0x07E0}, Colour{0, 0, 255, 0x001F},
        Colour{7, 3, 7, 0x0000}, Colour{128, 129, 130, 0x8410}}) {
    EXPECT_EQ(Pack565(c.red, c.green, c.blue), c.pixel);
  }
  EXPECT_EQ(SwapPixelBytes(0xF81F), 0x1FF8);
}

TEST(PixelPacking, PlainPacksEveryPixelAndNothingElse) {
  std::mt19937 random(5);
  for (const PackingCase& c : PackingCases()) {
    const PackingPlanes planes(c, random);
    std::vector<uint16_t> expected = GuardedOutput(c);
    for (int32_t y = 0; y < c.rows; ++y) {
      for (int32_t x = 0; x < c.width; ++x) {
        const ptrdiff_t at = y * c.planeStride + x;
        const uint16_t pixel =
            Pack565(planes.Plane(0, c)[at], planes.Plane(1, c)[at], planes.Plane(2, c)[at]);
        expected[y * c.outStride + x] = c.byteSwapped ? SwapPixelBytes(pixel) : pixel;
      }
    }
    ASSERT_EQ(Pack(PackRows565Plain, planes, c), expected)
        << "width " << c.width << ", out stride " << c.outStride << ", swapped " << c.byteSwapped;
  }
}

// Runs wherever words are little-endian: on the host as on ARM, where the
// decoder uses it. Odd widths give output rows off 4-byte boundaries.
TEST(PixelPackingWords, MatchesPlainPacking) {
  if constexpr (std::endian::native == std::endian::little) {
    std::mt19937 random(13);
    for (const PackingCase& c : PackingCases()) {
      const PackingPlanes planes(c, random);
      ASSERT_EQ(Pack(PackRows565Words, planes, c), Pack(PackRows565Plain, planes, c))
          << "width " << c.width << ", out stride " << c.outStride << ", swapped " << c.byteSwapped;
    }
  }
}

// Every mode from random neighbours, as the SSE2 test draws them.
TEST(CompactTransformKernels, PredictAsPlain) {
  std::mt19937 random(31);
  for (int trial = 0; trial < 3000; ++trial) {
    std::array<uint8_t, 1 + 8 + 16> neighbours;
    for (auto& sample : neighbours)
      sample = static_cast<uint8_t>(trial % 4 == 0 ? random() % 2 * 255 : random());
    const uint8_t* above = neighbours.data() + 1;
    const uint8_t* left = neighbours.data() + 9 + 3;
    const GuardedBlock start = RandomBlock(random);
    for (int mode = 0; mode < kIntraModeCount; ++mode) {
      GuardedBlock expected = start, got = start;
      PredictIntra4x4(mode, BlockNeighbours{above, left}, expected.Block(), kBlockStride);
      CompactTransformKernels::Predict(mode, above, left, got.Block());
      ASSERT_EQ(got, expected) << "mode " << mode << ", trial " << trial;
    }
  }
}

// A block, whole or clipped as at the picture's edges, as the decoder packs
// it.
TEST(CompactTransformKernels, PackAsPlain) {
  std::mt19937 random(37);
  for (const PackingCase& c : PackingCases()) {
    if (c.planeStride != 4) continue;
    const PackingPlanes planes(c, random);
    std::vector<uint16_t> got = GuardedOutput(c);
    CompactTransformKernels::Pack(planes.Plane(0, c), planes.Plane(1, c), planes.Plane(2, c),
                                  c.width, c.rows, got.data(), c.outStride, c.byteSwapped);
    ASSERT_EQ(got, Pack(PackRows565Plain, planes, c))
        << "width " << c.width << ", rows " << c.rows << ", swapped " << c.byteSwapped;
  }
}

#if defined(__x86_64__)

// A whole block of each colour, 16 samples in a row, as the decoder packs it.
TEST(PixelPackingSse2, MatchesPlainPackingOfABlock) {
  std::mt19937 random(11);
  for (const ptrdiff_t outStride : {4, 7, 21}) {
    for (const bool swapped : {false, true}) {
      const PackingCase c{4, 4, 4, outStride, swapped};
      const PackingPlanes planes(c, random);
      std::vector<uint16_t> got = GuardedOutput(c);
      PackBlock565Sse2(planes.Plane(0, c), planes.Plane(1, c), planes.Plane(2, c), got.data(),
                       outStride, swapped);
      ASSERT_EQ(got, Pack(PackRows565Plain, planes, c))
          << "out stride " << outStride << ", swapped " << swapped;
    }
  }
}

#endif  // defined(__x86_64__)

}  // namespace
}  // namespace vexo::testing
