// The transform path's vector kernels against their plain versions on random
// input, with guard samples round their output that must stay intact.
#include <gtest/gtest.h>

#include <array>
#include <random>
#include <utility>
#include <vector>

#include "transform/intra_prediction_sse2.h"
#include "transform/inverse_transform.h"
#include "transform/plane_packing.h"
#include "transform/reconstruction_sse2.h"
#include "transform/transform_format.h"

namespace vexo::testing {
namespace {

#if defined(__x86_64__)

// A 4 x 4 block at (kGuard, kGuard) of a plane with kGuard samples of
// guard on every side.
constexpr int kGuard = 4;
constexpr ptrdiff_t kStride = 4 + 2 * kGuard;
constexpr size_t kPlaneSize = kStride * kStride;
constexpr ptrdiff_t kBlock = kGuard * kStride + kGuard;

TEST(ReconstructionSse2, MatchesPlainReconstruction) {
  struct Draw {
    int32_t limit;  // coefficients drawn from -limit to limit
    bool lowestOnly;
  };
  std::mt19937 random(17);
  for (const Draw draw :
       {Draw{400, false}, Draw{1 << 22, false}, Draw{1 << 20, true}, Draw{300, true}}) {
    std::uniform_int_distribution<int32_t> coefficient(-draw.limit, draw.limit);
    for (int trial = 0; trial < 4000; ++trial) {
      std::vector<uint8_t> plain(kPlaneSize);
      for (auto& sample : plain) sample = static_cast<uint8_t>(random());
      std::vector<uint8_t> vector = plain;
      BlockCoefficients d{};
      CoefficientMask mask = 0;
      for (int i = 0; i < kCoefficientCount; ++i) {
        if ((draw.lowestOnly && i > 0) || random() % 3 == 0) continue;
        d[i] = coefficient(random);
        if (d[i] != 0) mask |= CoefficientMask{1} << i;
      }
      // First, because the plain version transforms `d` in place.
      ReconstructBlockSse2(vector.data() + kBlock, kStride, d, mask);
      ReconstructBlock(plain.data() + kBlock, kStride, d, mask);
      ASSERT_EQ(vector, plain) << "limit " << draw.limit << ", trial " << trial << ", mask "
                               << mask;
    }
  }
}

template <int... kModes>
constexpr auto PredictorsSse2(std::integer_sequence<int, kModes...>) {
  return std::array{&PredictIntra4x4Sse2<kModes>...};
}

// Every mode, in the guarded plane of random samples with the block in its
// middle, so that every neighbour and the guard round the block are random.
TEST(IntraPredictionSse2, EveryModeMatchesThePlainPrediction) {
  constexpr auto kPredictors = PredictorsSse2(std::make_integer_sequence<int, kIntraModeCount>());
  std::mt19937 random(29);
  for (int trial = 0; trial < 3000; ++trial) {
    std::vector<uint8_t> plain(kPlaneSize);
    for (auto& sample : plain)
      sample = static_cast<uint8_t>(trial % 4 == 0 ? random() % 2 * 255 : random());
    for (int mode = 0; mode < kIntraModeCount; ++mode) {
      std::vector<uint8_t> expected = plain, got = plain;
      PredictIntra4x4(mode, PlaneNeighbours{expected.data() + kBlock, kStride},
                      expected.data() + kBlock, kStride);
      kPredictors[mode](got.data() + kBlock, kStride);
      ASSERT_EQ(got, expected) << "mode " << mode << ", trial " << trial;
    }
  }
}

#endif  // defined(__x86_64__)

// The packing (vectorised on every processor) against the per-pixel rule, for
// widths around its vector runs, with guard pixels after every row and
// after the picture.
TEST(PlanePacking, MatchesPerPixelPacking) {
  std::mt19937 random(5);
  for (int32_t width = 1; width <= 40; ++width) {
    const int32_t height = 3;
    const int32_t paddedWidth = PaddedToBlocks(width);
    std::vector<uint8_t> samples(3 * static_cast<size_t>(paddedWidth) * height);
    for (auto& sample : samples) sample = static_cast<uint8_t>(random());
    uint8_t* base = samples.data();
    const size_t planeSize = static_cast<size_t>(paddedWidth) * height;
    const WorkingPlanes planes{{base, base + planeSize, base + 2 * planeSize}, paddedWidth, height};
    constexpr uint16_t kGuardPixel = 0xA5A5;
    std::vector<uint16_t> image(static_cast<size_t>(width) * height + 8, kGuardPixel);
    PackPlanes565(planes, width, height, image.data(), width);
    for (int32_t y = 0; y < height; ++y) {
      for (int32_t x = 0; x < width; ++x) {
        const size_t at = static_cast<size_t>(y) * paddedWidth + x;
        ASSERT_EQ(image[static_cast<size_t>(y) * width + x],
                  Pack565(base[at], base[planeSize + at], base[2 * planeSize + at]))
            << "width " << width << ", pixel " << x << ", " << y;
      }
    }
    for (size_t i = static_cast<size_t>(width) * height; i < image.size(); ++i) {
      ASSERT_EQ(image[i], kGuardPixel) << "width " << width;
    }
  }
}

}  // namespace
}  // namespace vexo::testing
