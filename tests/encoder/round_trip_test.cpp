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

// Path, family, picture, width, height and quality.
using RoundTripCase = std::tuple<VexoPath, VexoFamily, PictureKind, int32_t, int32_t, int>;

class RoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(RoundTrip, DecodesWithinTheQualitysTolerance) {
  const auto [path, family, kind, width, height, quality] = GetParam();
  const RgbPicture picture = MakeTestPicture(kind, width, height);
  const Result<std::vector<uint8_t>> encoded = EncodeVexo(picture, {path, family, quality});
  ASSERT_TRUE(encoded) << encoded.error().message;
  const std::vector<uint8_t>& file = *encoded;

  std::vector<uint16_t> decoded(static_cast<size_t>(width) * height, 0xDEAD);
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

// Sizes that leave partial blocks and rows; every fast quality is lossless.
INSTANTIATE_TEST_SUITE_P(
    Pictures, RoundTrip,
    ::testing::Values(
        RoundTripCase(VexoPath::kFast, VexoFamily::k201, PictureKind::kNoise, 36, 16, 0),
        RoundTripCase(VexoPath::kFast, VexoFamily::k201, PictureKind::kEdges, 4, 24, 2),
        RoundTripCase(VexoPath::kPredictive, VexoFamily::k101, PictureKind::kNoise, 33, 17, 0),
        RoundTripCase(VexoPath::kPredictive, VexoFamily::k201, PictureKind::kEdges, 4, 21, 0),
        RoundTripCase(VexoPath::kPredictive, VexoFamily::k101, PictureKind::kGradient, 1, 1, 0),
        RoundTripCase(VexoPath::kPredictive, VexoFamily::k101, PictureKind::kEdges, 33, 17, 2),
        RoundTripCase(VexoPath::kPredictive, VexoFamily::k201, PictureKind::kNoise, 3, 3, 1)));

}  // namespace
}  // namespace vexo::testing
