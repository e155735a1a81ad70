// The transform path's kernels: level code, dequantisation, intra
// prediction, inverse transform, reconstruction and packing, each against the
// hand-checked values and against a plain per-sample reference.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "bit_writer.h"
#include "plain_kernels.h"
#include "transform/dequantisation.h"
#include "transform/dequantised_list_reader.h"
#include "transform/intra_prediction.h"
#include "transform/inverse_transform.h"
#include "transform/level_code.h"
#include "transform_reference.h"

namespace vexo::testing {
namespace {

// ---- Level code and coefficient lists ------------------------------------

struct ReadList {
  CoefficientList list;
  uint64_t bitsConsumed;
};

ReadList ReadFromBits(std::string_view bits, int escapeWidth) {
  BitWriter writer;
  writer.PutBits(bits);
  const std::vector<uint8_t> bytes = writer.Bytes();
  VexoBitReader reader(bytes.data(), bytes.size(), 0);
  ReadList read{};
  ReadCoefficientList<true>(reader, escapeWidth, read.list);
  read.bitsConsumed = reader.ConsumedBits();
  return read;
}

// The table-driven reader, the reader that dequantises as it reads, and the
// bit-by-bit tree walk followed by plain dequantisation read the same lists
// and the same number of bits from any stream, at every quality.
TEST(TransformLevelCode, TableLookupsMatchBitByBitWalk) {
  std::mt19937 random(7);
  for (int quality = 0; quality < kQualityCount; quality += 3) {
    const TransformQuality parameters = *TransformQualityFor(quality);
    const DequantSteps steps = MakeDequantSteps(parameters);
    const int escapeWidth = parameters.escapeWidth;
    // Mostly 0 bits, so that long lists and runs past the scan come up too.
    // Room for 200 lists of the longest kind: the unchecked refills never
    // pass the end.
    std::vector<uint8_t> bytes(200 * kMaxListBits / 8 + 16);
    for (auto& byte : bytes) byte = static_cast<uint8_t>(random() & random());
    VexoBitReader table(bytes.data(), bytes.size(), 0);
    VexoBitReader fused(bytes.data(), bytes.size(), 0);
    VexoBitReader walk(bytes.data(), bytes.size(), 0);
    for (int n = 0; n < 200; ++n) {
      CoefficientList fast{}, plain{};
      ReadCoefficientList<false>(table, escapeWidth, fast);
      ReadCoefficientListBitByBit(walk, escapeWidth, plain);
      ASSERT_EQ(fast.count, plain.count);
      for (int k = 0; k < fast.count; ++k) {
        ASSERT_EQ(fast.entries[k].level, plain.entries[k].level);
        ASSERT_EQ(fast.entries[k].run, plain.entries[k].run);
      }
      BlockCoefficients expected{}, got{};
      got.fill(0x5A5A5A5A);  // must be overwritten wherever the mask says so
      const CoefficientMask expectedMask = DequantiseList(plain, steps, expected);
      ASSERT_EQ(ReadDequantisedList<false>(fused, escapeWidth, steps, got), expectedMask);
      if (expectedMask != 0) {
        ASSERT_EQ(got, expected);
      }
      ASSERT_EQ(table.ConsumedBits(), walk.ConsumedBits());
      ASSERT_EQ(fused.ConsumedBits(), walk.ConsumedBits());
    }
  }
}

// ---- Dequantisation --------------------------------------------------------

struct DequantCase {
  const char* name;
  const char* bits;
  int quality;
  std::vector<std::pair<int, int32_t>> coefficients;  // index, value
};

void PrintTo(const DequantCase& c, std::ostream* out) {
  *out << c.name;
}

class TransformDequantisation : public ::testing::TestWithParam<DequantCase> {};

TEST_P(TransformDequantisation, PlacesLevelsAlongTheScan) {
  const DequantCase& c = GetParam();
  const auto quality = *TransformQualityFor(c.quality);
  const ReadList read = ReadFromBits(c.bits, quality.escapeWidth);
  BlockCoefficients d;
  const CoefficientMask mask = DequantiseList(read.list, MakeDequantSteps(quality), d);
  CoefficientMask expectedMask = 0;
  for (const auto& [index, value] : c.coefficients) {
    expectedMask |= 1u << index;
    EXPECT_EQ(d[index], value) << "coefficient " << index;
  }
  EXPECT_EQ(mask, expectedMask);
  for (int i = 0; i < 16 && mask != 0; ++i) {
    if (!(mask >> i & 1)) {
      EXPECT_EQ(d[i], 0) << "coefficient " << i;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Lists, TransformDequantisation,
    ::testing::Values(
        DequantCase{"HandCheckedExample", "000 0010 011 0000 1", 28, {{1, -320}, {2, 512}}},
        DequantCase{"RunPastTheScanIgnoresTheRest", "001 0111 001 1001 011 0000 1", 28, {{9, 320}}},
        DequantCase{"EndOfBlockFirstLeavesNoCoefficient", "1", 28, {}},
        DequantCase{"ZeroEscapeFirstLeavesNoCoefficient", "01011 0000 001 0000 1", 0, {}},
        DequantCase{
            "ZeroEscapeEndsTheList", "011 0001 01010 0000000 0000 001 0000 1", 28, {{4, 640}}},
        DequantCase{"NegativeLevelAtQuality47", "000 0100 1", 47, {{5, -29 * 128}}}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Intra prediction ------------------------------------------------------

using Samples = std::array<uint8_t, 16>;

Samples Predict(int mode, const std::array<int, 9>& above, const std::array<int, 4>& left) {
  IntraNeighbours n;
  for (int i = 0; i < 9; ++i) n.above[i] = static_cast<uint8_t>(above[i]);
  for (int k = 0; k < 4; ++k) n.left[k] = static_cast<uint8_t>(left[k]);
  Samples block{};
  PredictIntra4x4(mode, n, block.data(), 4);
  return block;
}

TEST(TransformIntraPrediction, EveryModeMatchesItsPerSampleRule) {
  std::mt19937 random(3);
  for (int trial = 0; trial < 2000; ++trial) {
    std::array<int, 9> above;
    std::array<int, 4> left;
    // Extremes as well as anything in between.
    auto draw = [&] {
      return trial % 3 == 0 ? static_cast<int>(random() % 2) * 255 : random() % 256;
    };
    for (int& t : above) t = static_cast<int>(draw());
    for (int& l : left) l = static_cast<int>(draw());
    for (int mode = 0; mode < kIntraModeCount; ++mode) {
      const Samples block = Predict(mode, above, left);
      for (int i = 0; i < 16; ++i) {
        ASSERT_EQ(block[i], ReferencePredictSample(mode, above, left, i % 4, i / 4))
            << "mode " << mode << " sample " << i;
      }
    }
  }
}

// ---- Inverse transform and reconstruction ----------------------------------

using Matrix = std::array<std::array<int32_t, 4>, 4>;

BlockCoefficients Flatten(const Matrix& m) {
  BlockCoefficients flat;
  for (int i = 0; i < 16; ++i) flat[i] = m[i / 4][i % 4];
  return flat;
}

TEST(TransformInverseTransform, MatchesThePlainButterflies) {
  std::mt19937 random(11);
  for (int trial = 0; trial < 5000; ++trial) {
    Matrix d{};
    for (auto& row : d) {
      for (auto& v : row)
        v = random() % 3 == 0 ? static_cast<int32_t>(random() % 200001) - 100000 : 0;
    }
    BlockCoefficients r = Flatten(d);
    InverseTransform4x4(r);
    ASSERT_EQ(r, Flatten(ReferenceInverseTransform(d)));
  }
}

struct ReconstructCase {
  const char* name;
  int prediction;
  int32_t lowest;  // the only coefficient, at row 0, column 0
  int expected;
};

void PrintTo(const ReconstructCase& c, std::ostream* out) {
  *out << c.name;
}

class TransformReconstruction : public ::testing::TestWithParam<ReconstructCase> {};

// The flat shortcut for a lone lowest coefficient and the full transform
// must agree with the rounding and clamping rule.
TEST_P(TransformReconstruction, LoneLowestCoefficient) {
  const ReconstructCase& c = GetParam();
  for (CoefficientMask mask : {CoefficientMask{1}, CoefficientMask{0xFFFF}}) {
    std::vector<uint8_t> plane(6 * 4, static_cast<uint8_t>(c.prediction));
    BlockCoefficients d{};
    d[0] = c.lowest;
    ReconstructBlock(plane.data() + 1, 6, d, mask);
    for (int y = 0; y < 4; ++y) {
      EXPECT_EQ(plane[6 * y], c.prediction);  // outside the block
      for (int x = 1; x <= 4; ++x) EXPECT_EQ(plane[6 * y + x], c.expected) << "mask " << mask;
      EXPECT_EQ(plane[6 * y + 5], c.prediction);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(RoundingAndClamping, TransformReconstruction,
                         ::testing::Values(ReconstructCase{"ThirtyOneAddsNothing", 100, 31, 100},
                                           ReconstructCase{"ThirtyTwoRoundsUp", 100, 32, 101},
                                           ReconstructCase{"MinusThirtyTwoKeeps", 100, -32, 100},
                                           ReconstructCase{"MinusThirtyThreeTakesOne", 100, -33,
                                                           99},
                                           ReconstructCase{"ClampsAtTheTop", 250, 640, 255},
                                           ReconstructCase{"ClampsAtTheBottom", 3, -640, 0},
                                           ReconstructCase{"FarAboveTheRange", 0, 1 << 24, 255},
                                           ReconstructCase{"FarBelowTheRange", 255, -(1 << 24), 0}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vexo::testing
