// The fast-path encoder: lossless at every quality, whole blocks only.
#include <gtest/gtest.h>

#include <tuple>

#include "fast/fast_encoder.h"
#include "test_pictures.h"
#include "vexo_decoder.h"

namespace vexo::testing {
namespace {

struct Size {
  int32_t width, height;
};

using FastParam = std::tuple<PictureKind, Size, int /*quality*/>;

class FastRoundTrip : public ::testing::TestWithParam<FastParam> {};

TEST_P(FastRoundTrip, DecodesToTheQuantisedPictureExactly) {
  const auto [kind, size, quality] = GetParam();
  const RgbPicture picture = MakeTestPicture(kind, size.width, size.height);
  const EncodeOptions options{VexoPath::kFast, VexoFamily::k201, quality};
  ASSERT_EQ(EncodeOptionsProblem(picture, options), "");
  const std::vector<uint8_t> file = EncodeVexo(picture, options);

  std::vector<uint16_t> decoded(static_cast<size_t>(size.width) * size.height, 0xBEEF);
  const VexoDecodeResult result = VexoDecode(VexoFamily::k201, file, decoded);
  ASSERT_EQ(result.status, VexoStatus::kOk);
  EXPECT_EQ(result.result, static_cast<int32_t>(file.size()));
  EXPECT_EQ(decoded, QuantiseToRgb565(picture));
}

std::string ParamName(const ::testing::TestParamInfo<FastParam>& info) {
  const auto& [kind, size, quality] = info.param;
  return PictureKindName(kind) + std::to_string(size.width) + "x" + std::to_string(size.height) +
         "Q" + std::to_string(quality);
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, FastRoundTrip,
    ::testing::Combine(::testing::Values(PictureKind::kFlat, PictureKind::kGradient,
                                         PictureKind::kNoise, PictureKind::kEdges),
                       ::testing::Values(Size{4, 4}, Size{8, 8}, Size{4, 24}, Size{36, 16}),
                       ::testing::Values(0, 1, 2)),
    ParamName);

TEST(FastEncoder, FlatPictureIsFillsAfterOneRawBlock) {
  const RgbPicture picture = MakeTestPicture(PictureKind::kFlat, 32, 32);
  const auto file = EncodeVexo(picture, {VexoPath::kFast, VexoFamily::k201, 0});
  // 64 blocks of 5 bits; the first block cannot predict from anything.
  EXPECT_LE(file.size(), 20u + 40u + 2u * 16u + 4u);
}

TEST(FastEncoder, RefusesSidesThatAreNotMultiplesOfFour) {
  for (const Size size : {Size{33, 16}, Size{16, 17}, Size{1, 1}}) {
    const RgbPicture picture = MakeTestPicture(PictureKind::kFlat, size.width, size.height);
    EXPECT_NE(EncodeOptionsProblem(picture, {VexoPath::kFast, VexoFamily::k201, 0})
                  .find("multiples of 4"),
              std::string::npos);
  }
}

}  // namespace
}  // namespace vexo::testing
