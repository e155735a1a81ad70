// The fast and predictive encoders: every file decodes to its end, lossless
// where promised and within the quality's per-channel error elsewhere.
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

using RoundTripParam = std::tuple<VexoPath, VexoFamily, PictureKind, Size, int /*quality*/>;

class RoundTrip : public ::testing::TestWithParam<RoundTripParam> {};

TEST_P(RoundTrip, DecodesWithinTheQualitysTolerance) {
  const auto [path, family, kind, size, quality] = GetParam();
  const RgbPicture picture = MakeTestPicture(kind, size.width, size.height);
  const EncodeOptions options{path, family, quality};
  const Result<std::vector<uint8_t>> encoded = EncodeVexo(picture, options);
  ASSERT_TRUE(encoded) << encoded.error().message;
  const std::vector<uint8_t>& file = *encoded;

  std::vector<uint16_t> decoded(static_cast<size_t>(size.width) * size.height, 0xDEAD);
  const VexoDecodeResult result = VexoDecode(family, file, decoded);
  ASSERT_EQ(result.status, VexoStatus::kOk);
  EXPECT_EQ(result.result, static_cast<int32_t>(file.size()));

  const std::vector<uint16_t> wanted = QuantiseToRgb565(picture);
  if (path == VexoPath::kFast || quality == 0) {
    EXPECT_EQ(decoded, wanted);
    return;
  }
  const int tolerance = PredictiveTolerance(quality);
  for (size_t i = 0; i < wanted.size(); ++i) {
    ASSERT_TRUE(WithinTolerance(decoded[i], wanted[i], tolerance))
        << "pixel " << i << ": " << decoded[i] << " for " << wanted[i];
  }
}

std::string ParamName(const ::testing::TestParamInfo<RoundTripParam>& info) {
  const auto [path, family, kind, size, quality] = info.param;
  return PictureKindName(kind) + std::to_string(size.width) + "x" + std::to_string(size.height) +
         "Q" + std::to_string(quality) + "F" + std::to_string(static_cast<int>(family));
}

const auto kKinds = ::testing::Values(PictureKind::kFlat, PictureKind::kGradient,
                                      PictureKind::kNoise, PictureKind::kEdges);

INSTANTIATE_TEST_SUITE_P(
    Fast, RoundTrip,
    ::testing::Combine(::testing::Values(VexoPath::kFast), ::testing::Values(VexoFamily::k201),
                       kKinds, ::testing::Values(Size{4, 4}, Size{4, 24}, Size{36, 16}),
                       ::testing::Values(0, 1, 2)),
    ParamName);

INSTANTIATE_TEST_SUITE_P(
    Predictive, RoundTrip,
    ::testing::Combine(::testing::Values(VexoPath::kPredictive),
                       ::testing::Values(VexoFamily::k101, VexoFamily::k201), kKinds,
                       ::testing::Values(Size{1, 1}, Size{3, 3}, Size{33, 17}, Size{4, 21}),
                       ::testing::Values(0, 1, 2)),
    ParamName);

// A flat picture costs little more than its header and one raw start.
TEST(Encoders, FlatPicturesAreSmall) {
  // 256 blocks of a few bits after one raw pixel.
  EXPECT_LT(EncodeVexo(MakeTestPicture(PictureKind::kFlat, 64, 64),
                       {VexoPath::kPredictive, VexoFamily::k101, 0})
                ->size(),
            16u + 256u + 2u + 8u);
  // 64 blocks of 5 bits after one raw block.
  EXPECT_LE(EncodeVexo(MakeTestPicture(PictureKind::kFlat, 32, 32),
                       {VexoPath::kFast, VexoFamily::k201, 0})
                ->size(),
            20u + 40u + 2u * 16u + 4u);
}

TEST(Encoders, PredictiveFilesShrinkAsQualityCoarsens) {
  const RgbPicture picture = MakeTestPicture(PictureKind::kGradient, 64, 48);
  size_t previous = SIZE_MAX;
  for (int quality = 0; quality <= 2; ++quality) {
    const size_t size =
        EncodeVexo(picture, {VexoPath::kPredictive, VexoFamily::k101, quality})->size();
    EXPECT_LT(size, previous) << "quality " << quality;
    previous = size;
  }
}

}  // namespace
}  // namespace vexo::testing
