// The predictive encoder: every file decodes, lossless where promised, and
// within the stated per-channel error elsewhere.
#include <gtest/gtest.h>

#include <tuple>

#include "predictive/pixel_choice.h"
#include "predictive/predictive_encoder.h"
#include "test_pictures.h"
#include "vexo_decoder.h"

namespace vexo::testing {
namespace {

struct Size {
  int32_t width, height;
};

using RoundTripParam = std::tuple<PictureKind, Size, int /*quality*/, VexoFamily>;

class PredictiveRoundTrip : public ::testing::TestWithParam<RoundTripParam> {};

TEST_P(PredictiveRoundTrip, DecodesWithinTheQualitysTolerance) {
  const auto [kind, size, quality, family] = GetParam();
  const RgbPicture picture = MakeTestPicture(kind, size.width, size.height);
  const EncodeOptions options{VexoPath::kPredictive, family, quality};
  ASSERT_EQ(EncodeOptionsProblem(picture, options), "");
  const std::vector<uint8_t> file = EncodeVexo(picture, options);

  std::vector<uint16_t> decoded(static_cast<size_t>(size.width) * size.height, 0xDEAD);
  const VexoDecodeResult result = VexoDecode(family, file, decoded);
  ASSERT_EQ(result.status, VexoStatus::kOk);
  EXPECT_EQ(result.result, static_cast<int32_t>(file.size()));  // raw pixels end the file

  const std::vector<uint16_t> wanted = QuantiseToRgb565(picture);
  const int tolerance = PredictiveTolerance(quality);
  for (size_t i = 0; i < wanted.size(); ++i) {
    ASSERT_TRUE(WithinTolerance(decoded[i], wanted[i], tolerance))
        << "pixel " << i << ": " << decoded[i] << " for " << wanted[i];
  }
  if (quality == 0) {
    EXPECT_EQ(decoded, wanted);
  }
}

std::string ParamName(const ::testing::TestParamInfo<RoundTripParam>& info) {
  const auto [kind, size, quality, family] = info.param;
  return PictureKindName(kind) + std::to_string(size.width) + "x" + std::to_string(size.height) +
         "Q" + std::to_string(quality) + "F" + std::to_string(static_cast<int>(family));
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, PredictiveRoundTrip,
    ::testing::Combine(::testing::Values(PictureKind::kFlat, PictureKind::kGradient,
                                         PictureKind::kNoise, PictureKind::kEdges),
                       ::testing::Values(Size{1, 1}, Size{3, 3}, Size{8, 8}, Size{33, 17},
                                         Size{4, 21}),
                       ::testing::Values(0, 1, 2),
                       ::testing::Values(VexoFamily::k101, VexoFamily::k201)),
    ParamName);

TEST(PredictiveEncoder, FlatPictureCostsLittleMoreThanItsFills) {
  const RgbPicture picture = MakeTestPicture(PictureKind::kFlat, 64, 64);
  const auto file = EncodeVexo(picture, {VexoPath::kPredictive, VexoFamily::k101, 0});
  // One raw pixel starts the chain; 256 blocks of at most a few bits follow.
  EXPECT_LT(file.size(), 16u + 256u + 2u + 8u);
}

TEST(PredictiveEncoder, CoarserQualitiesMakeSmallerFiles) {
  const RgbPicture picture = MakeTestPicture(PictureKind::kGradient, 64, 48);
  size_t previous = SIZE_MAX;
  for (int quality = 0; quality <= 2; ++quality) {
    const size_t size =
        EncodeVexo(picture, {VexoPath::kPredictive, VexoFamily::k101, quality}).size();
    EXPECT_LT(size, previous) << "quality " << quality;
    previous = size;
  }
}

}  // namespace
}  // namespace vexo::testing
