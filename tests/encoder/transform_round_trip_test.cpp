// The transform-path encoder: every file decodes, quality trades size for
// fidelity, and the forward kernels mirror the decoder's.
#include <gtest/gtest.h>

#include <random>

#include "common/bit_reader.h"
#include "file_decoder.h"
#include "pixel_conversion.h"
#include "test_pictures.h"
#include "transform/coefficient_list_writer.h"
#include "transform/forward_transform.h"
#include "transform/inverse_transform.h"
#include "vexo_decoder.h"

namespace vexo::testing {
namespace {

struct Size {
  int32_t width, height;
};

struct Decoded {
  std::vector<uint8_t> file;
  std::vector<uint16_t> pixels;
  VexoDecodeResult outcome;
};

Decoded EncodeAndDecode(const RgbPicture& picture, int quality) {
  Decoded d;
  d.file = EncodeVexo(picture, {VexoPath::kTransform, VexoFamily::k101, quality}).value();
  d.pixels.assign(static_cast<size_t>(picture.width) * picture.height, 0x1234);
  d.outcome = VexoDecode(VexoFamily::k101, d.file, d.pixels);
  return d;
}

using QualityParam = std::tuple<PictureKind, Size>;

class TransformRoundTrip : public ::testing::TestWithParam<QualityParam> {};

// Every quality decodes to the file's end. Up to quality 28 the lowest-frequency
// step is at most a few sample values, which keeps the picture above 30 dB
// against its 8-bit source (the 5-6-5 output alone caps it near 42 dB).
// Whether fidelity falls as the index rises is checked on photographs below.
TEST_P(TransformRoundTrip, EveryQualityDecodesAndTheFineOnesStayFaithful) {
  const auto [kind, size] = GetParam();
  const RgbPicture picture = MakeTestPicture(kind, size.width, size.height);
  for (const int quality : {0, 1, 4, 10, 16, 22, 28, 34, 40, 46, 51}) {
    const Decoded d = EncodeAndDecode(picture, quality);
    ASSERT_EQ(d.outcome.status, VexoStatus::kOk) << "quality " << quality;
    EXPECT_EQ(d.outcome.result, static_cast<int32_t>(d.file.size()));
    if (quality >= 1 && quality <= 28) {
      EXPECT_GE(PsnrAgainstSource(picture, d.pixels), 30.0) << "quality " << quality;
    }
  }
}

std::string ParamName(const ::testing::TestParamInfo<QualityParam>& info) {
  const auto& [kind, size] = info.param;
  return PictureKindName(kind) + std::to_string(size.width) + "x" + std::to_string(size.height);
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, TransformRoundTrip,
    ::testing::Combine(::testing::Values(PictureKind::kFlat, PictureKind::kGradient,
                                         PictureKind::kNoise, PictureKind::kEdges),
                       ::testing::Values(Size{1, 1}, Size{3, 3}, Size{8, 8}, Size{33, 17},
                                         Size{4, 21})),
    ParamName);

// A photograph: a bundled sample decoded, as the viewer shows it.
RgbPicture Photograph(const std::string& name) {
  vexo::FileDecoder decoder;
  EXPECT_EQ(decoder.Decode(std::string(VEXO_SAMPLES_DIR "/") + name).status,
            vexo::FileDecodeStatus::kOk);
  RgbPicture picture{decoder.ImageWidth(), decoder.ImageHeight(),
                     std::vector<uint8_t>(3 * decoder.Image565().size()), true};
  vexo::ExpandRgb565(decoder.Image565(), picture.rgb);
  return picture;
}

class TransformPhotographTest : public ::testing::TestWithParam<const char*> {};

// Every quality index from the best to the smallest: the picture never gets
// better as the index rises. Quality 0 only has to decode: its levels stop
// at 2, too small to correct any prediction, so it cannot code a photograph.
TEST_P(TransformPhotographTest, FidelityNeverRisesWithTheQualityIndex) {
  const RgbPicture picture = Photograph(GetParam());
  ASSERT_EQ(EncodeAndDecode(picture, 0).outcome.status, VexoStatus::kOk);
  double previousPsnr = INFINITY;
  for (int quality = 1; quality <= 51; ++quality) {
    const Decoded d = EncodeAndDecode(picture, quality);
    ASSERT_EQ(d.outcome.status, VexoStatus::kOk) << "quality " << quality;
    const double psnr = PsnrAgainstSource(picture, d.pixels);
    EXPECT_LE(psnr, previousPsnr + 0.05) << "quality " << quality;
    previousPsnr = psnr;
  }
}

INSTANTIATE_TEST_SUITE_P(Samples, TransformPhotographTest,
                         ::testing::Values("cat-176x144-predictive-101.vxo",
                                           "coffee-176x144-predictive-201-q1.vxo"));

TEST(TransformEncoder, SmallerFilesAtHigherQualityIndexes) {
  const RgbPicture picture = MakeTestPicture(PictureKind::kGradient, 48, 32);
  EXPECT_LT(EncodeAndDecode(picture, 40).file.size(), EncodeAndDecode(picture, 22).file.size());
  EXPECT_LT(EncodeAndDecode(picture, 22).file.size(), EncodeAndDecode(picture, 4).file.size());
}

// With fine steps, quantising the forward transform and running the
// decoder's inverse gives the residual back within rounding.
TEST(ForwardTransform, MirrorsTheDecodersInverse) {
  std::mt19937 random(3);
  const DequantSteps steps = MakeDequantSteps(*TransformQualityFor(1));
  for (int trial = 0; trial < 200; ++trial) {
    std::array<int32_t, 16> residual;
    for (auto& r : residual) r = static_cast<int32_t>(random() % 201) - 100;
    const auto levels = QuantiseCoefficients(ForwardTransform4x4(residual), steps, 2047, 0.5);
    BlockCoefficients coefficients{};
    for (int p = 0; p < 16; ++p) coefficients[ScanOrder[p]] = levels[p] * steps[p];
    InverseTransform4x4(coefficients);
    for (int i = 0; i < 16; ++i) {
      ASSERT_NEAR((coefficients[i] + 32) >> 6, residual[i], 1) << "sample " << i;
    }
  }
}

// Lists written by the encoder read back through the decoder's own reader.
TEST(CoefficientListWriter, ReadsBackThroughTheDecoder) {
  std::mt19937 random(11);
  for (const int escapeWidth : {0, 3, 7, 11}) {
    const int32_t largest = LargestLevel(escapeWidth);
    BitWriter bits;
    std::vector<CoefficientList> written;
    for (int trial = 0; trial < 100; ++trial) {
      std::array<int32_t, kCoefficientCount> levels{};
      for (auto& level : levels) {
        if (random() % 3 == 0) level = static_cast<int32_t>(random() % (2 * largest + 1)) - largest;
      }
      written.push_back(MakeCoefficientList(levels));
      WriteCoefficientList(written.back(), escapeWidth, bits);
    }
    uint64_t expectedBits = 0;
    for (const auto& list : written) expectedBits += CoefficientListBits(list, escapeWidth);
    EXPECT_EQ(bits.BitCount(), expectedBits);
    VexoBitReader reader(bits.Bytes().data(), bits.Bytes().size(), 0);
    for (const CoefficientList& expected : written) {
      CoefficientList read{};
      ReadCoefficientList</*kCheckedRefill=*/true>(reader, escapeWidth, read);
      ASSERT_EQ(read.count, expected.count);
      for (int k = 0; k < expected.count; ++k) {
        EXPECT_EQ(read.entries[k].level, expected.entries[k].level);
        EXPECT_EQ(read.entries[k].run, expected.entries[k].run);
      }
    }
  }
}

}  // namespace
}  // namespace vexo::testing
