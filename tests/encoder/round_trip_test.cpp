// The fast and predictive encoders: every file decodes to its end, lossless
// where promised at every effort and within the quality's per-channel error
// elsewhere.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <tuple>

#include "bytes_decoder.h"
#include "predictive/pixel_choice.h"
#include "predictive/predictive_encoder.h"
#include "test_pictures.h"
#include "vexo_decoder.h"

namespace vexo::testing {
namespace {

// Each lossless file decodes to exactly the quantised picture; a higher
// effort tries all a lower one tries, so its file is never larger.
void ExpectLosslessAtEveryEffort(const RgbPicture& picture, VexoPath path, VexoFamily family,
                                 int quality) {
  const std::vector<uint16_t> wanted = QuantiseToRgb565(picture);
  size_t previous = std::numeric_limits<size_t>::max();
  for (int effort = kLowestEffort; effort <= kHighestEffort; ++effort) {
    SCOPED_TRACE("effort " + std::to_string(effort) + ", " + std::to_string(picture.width) + " x " +
                 std::to_string(picture.height));
    const Result<std::vector<uint8_t>> file =
        EncodeVexo(picture, {path, family, quality, Dither::kNone, effort});
    ASSERT_TRUE(file) << file.error().message;
    std::vector<uint16_t> decoded(wanted.size(), 0xDEAD);
    const VexoDecodeResult result = VexoDecode(family, *file, decoded);
    ASSERT_EQ(result.status, VexoStatus::kOk);
    EXPECT_EQ(result.result, static_cast<int32_t>(file->size()));
    EXPECT_EQ(decoded, wanted);
    EXPECT_LE(file->size(), previous);
    previous = file->size();
  }
}

// Sizes that leave partial blocks and rows, a picture one block wide (whose
// rows predict from the block's own last column), flat and noisy content.
TEST(LosslessEfforts, GeneratedPictures) {
  for (const PictureKind kind :
       {PictureKind::kFlat, PictureKind::kGradient, PictureKind::kNoise, PictureKind::kEdges}) {
    SCOPED_TRACE(PictureKindName(kind));
    for (const auto& [width, height] : {std::pair{1, 1}, {3, 5}, {17, 9}, {4, 21}, {36, 16}}) {
      const RgbPicture picture = MakeTestPicture(kind, width, height);
      ExpectLosslessAtEveryEffort(picture, VexoPath::kPredictive, VexoFamily::k101, 0);
      ExpectLosslessAtEveryEffort(picture, VexoPath::kPredictive, VexoFamily::k201, 0);
    }
    for (const auto& [width, height] : {std::pair{4, 4}, {4, 24}, {36, 16}}) {
      const RgbPicture picture = MakeTestPicture(kind, width, height);
      ExpectLosslessAtEveryEffort(picture, VexoPath::kFast, VexoFamily::k201, 0);
      ExpectLosslessAtEveryEffort(picture, VexoPath::kFast, VexoFamily::k201, 2);
    }
  }
}

// A photograph and a graphic: the 5-6-5 pictures of two sample files.
TEST(LosslessEfforts, SamplePictures) {
  for (const char* name : {"cat-176x144-predictive-101.vxo", "logo-176x144-fast-201-q2.vxo"}) {
    std::ifstream in(std::string(VEXO_SAMPLES_DIR "/") + name, std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    const DecodedVexoPicture sample = DecodeVexoBytes(bytes);
    ASSERT_EQ(sample.status, FileDecodeStatus::kOk) << name;
    RgbPicture picture{sample.width, sample.height, {}, true};
    for (const uint16_t pixel : sample.image565) {
      picture.rgb.insert(picture.rgb.end(), {static_cast<uint8_t>((pixel >> 8) & 0xF8),
                                             static_cast<uint8_t>((pixel >> 3) & 0xFC),
                                             static_cast<uint8_t>((pixel << 3) & 0xF8)});
    }
    ExpectLosslessAtEveryEffort(picture, VexoPath::kPredictive, VexoFamily::k101, 0);
    ExpectLosslessAtEveryEffort(picture, VexoPath::kFast, VexoFamily::k201, 0);
  }
}

// Path, family, picture, width, height and quality.
using LossyCase = std::tuple<VexoPath, VexoFamily, PictureKind, int32_t, int32_t, int>;

class LossyRoundTrip : public ::testing::TestWithParam<LossyCase> {};

TEST_P(LossyRoundTrip, DecodesWithinTheQualitysTolerance) {
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
  const int tolerance = PredictiveTolerance(quality);
  for (size_t i = 0; i < wanted.size(); ++i) {
    ASSERT_TRUE(WithinTolerance(decoded[i], wanted[i], tolerance))
        << "pixel " << i << ": " << decoded[i] << " for " << wanted[i];
  }
}

INSTANTIATE_TEST_SUITE_P(Pictures, LossyRoundTrip,
                         ::testing::Values(LossyCase(VexoPath::kPredictive, VexoFamily::k101,
                                                     PictureKind::kEdges, 33, 17, 2),
                                           LossyCase(VexoPath::kPredictive, VexoFamily::k201,
                                                     PictureKind::kNoise, 3, 3, 1)));

}  // namespace
}  // namespace vexo::testing
