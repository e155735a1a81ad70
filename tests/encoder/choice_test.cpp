// Choosing the path and quality for a goal, and dithering to 5-6-5.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "test_pictures.h"
#include "vexo_choice.h"
#include "vexo_decoder.h"

namespace vexo::testing {
namespace {

std::vector<uint8_t> Encoded(const RgbPicture& picture, EncodeOptions options) {
  return EncodeVexo(picture, options).value();
}

double DecodedPsnr(const RgbPicture& picture, const EncodeChoice& choice) {
  std::vector<uint16_t> decoded(static_cast<size_t>(picture.width) * picture.height);
  EXPECT_EQ(VexoDecode(choice.options.family, choice.file, decoded).status, VexoStatus::kOk);
  return PsnrAgainstSource(picture, decoded);
}

// A grey ramp, 0 to 255 from left to right: the fast path's best case.
RgbPicture Ramp(int32_t width, int32_t height) {
  RgbPicture picture{width, height, std::vector<uint8_t>(3 * static_cast<size_t>(width) * height)};
  for (size_t i = 0; i < picture.rgb.size(); ++i) {
    picture.rgb[i] = static_cast<uint8_t>(255 * ((i / 3) % width) / (width - 1));
  }
  return picture;
}

TEST(Choice, AutoIsTheSmallerLosslessFile) {
  const EncodeOptions predictive{VexoPath::kPredictive, VexoFamily::k101, 0};
  const EncodeOptions fast{VexoPath::kFast, VexoFamily::k201, 0};
  bool fastChosen = false;
  bool predictiveChosen = false;
  for (const RgbPicture& picture : {Ramp(64, 16), MakeTestPicture(PictureKind::kGradient, 64, 64),
                                    MakeTestPicture(PictureKind::kNoise, 32, 32),
                                    MakeTestPicture(PictureKind::kEdges, 33, 17)}) {
    const Result<EncodeChoice> choice = ChooseEncoding(picture, {});
    ASSERT_TRUE(choice) << choice.error().message;
    const std::vector<uint8_t> predictiveFile = Encoded(picture, predictive);
    EXPECT_LE(choice->file.size(), predictiveFile.size());
    if (picture.width % 4 == 0 && picture.height % 4 == 0) {
      EXPECT_LE(choice->file.size(), Encoded(picture, fast).size());
    } else {
      EXPECT_NE(choice->why.find("only lossless file"), std::string::npos) << choice->why;
    }
    EXPECT_TRUE(IsLosslessEncoding(choice->options));
    (choice->options.path == VexoPath::kFast ? fastChosen : predictiveChosen) = true;
  }
  EXPECT_TRUE(fastChosen && predictiveChosen);
}

// The most faithful file that fits: the quality one finer does not.
TEST(Choice, MaxBytesIsMetByTheFinestQualityThatFitsOrRefused) {
  const RgbPicture picture = MakeTestPicture(PictureKind::kGradient, 64, 64);
  const size_t lossless = ChooseEncoding(picture, {}).value().file.size();
  for (const size_t budget : {lossless, lossless / 2, lossless / 8}) {
    const Result<EncodeChoice> choice = ChooseEncoding(picture, {.maxBytes = budget});
    ASSERT_TRUE(choice) << budget << ": " << choice.error().message;
    EXPECT_LE(choice->file.size(), budget);
    EXPECT_EQ(IsLosslessEncoding(choice->options), budget == lossless);
    if (choice->options.path == VexoPath::kTransform && choice->options.quality > 1) {
      EncodeOptions finer = choice->options;
      --finer.quality;
      EXPECT_GT(Encoded(picture, finer).size(), budget) << choice->why;
    }
  }
  const Result<EncodeChoice> refused = ChooseEncoding(picture, {.maxBytes = 20});
  ASSERT_FALSE(refused);
  EXPECT_EQ(refused.error().message.rfind("needs at least ", 0), 0u) << refused.error().message;
}

// The smallest file of at least the PSNR asked: the next coarser quality
// falls short of it or is no smaller.
TEST(Choice, MinPsnrIsMetByTheSmallestFileOrRefused) {
  const RgbPicture picture = MakeTestPicture(PictureKind::kGradient, 64, 64);
  for (const double floor : {25.0, 33.0, 38.0}) {
    const Result<EncodeChoice> choice = ChooseEncoding(picture, {.minPsnr = floor});
    ASSERT_TRUE(choice) << floor << ": " << choice.error().message;
    EXPECT_GE(DecodedPsnr(picture, *choice), floor) << choice->why;
    if (choice->options.path == VexoPath::kTransform && choice->options.quality < 51) {
      EncodeOptions coarser = choice->options;
      ++coarser.quality;
      EncodeChoice next{coarser, Encoded(picture, coarser)};
      EXPECT_TRUE(DecodedPsnr(picture, next) < floor || next.file.size() >= choice->file.size());
    }
  }
  const Result<EncodeChoice> refused = ChooseEncoding(picture, {.minPsnr = 90});
  ASSERT_FALSE(refused);
  EXPECT_EQ(refused.error().message.rfind("no file reaches 90.00 dB", 0), 0u);
}

// Mean absolute difference between the 4 x 4 block averages of the picture
// as the viewer shows it and those of the source.
double BlockAverageError(const RgbPicture& source, const std::vector<uint16_t>& pixels) {
  double total = 0;
  int blocks = 0;
  for (int32_t by = 0; by < source.height / 4; ++by) {
    for (int32_t bx = 0; bx < source.width / 4; ++bx) {
      int difference[3] = {0, 0, 0};
      for (int32_t i = 0; i < 16; ++i) {
        const size_t at = static_cast<size_t>(4 * by + i / 4) * source.width + 4 * bx + i % 4;
        const int shown[3] = {(pixels[at] >> 8) & 0xF8, (pixels[at] >> 3) & 0xFC,
                              (pixels[at] << 3) & 0xF8};
        for (int c = 0; c < 3; ++c) difference[c] += shown[c] - source.rgb[3 * at + c];
      }
      for (int c = 0; c < 3; ++c) total += std::abs(difference[c]) / 16.0;
      blocks += 3;
    }
  }
  return total / blocks;
}

TEST(Dither, KeepsTheBlockAveragesOfARampCloseAndDecodesLosslessly) {
  const RgbPicture ramp = Ramp(256, 64);
  const double undithered = BlockAverageError(ramp, QuantiseToRgb565(ramp));
  for (const Dither dither : {Dither::kOrdered, Dither::kFloydSteinberg}) {
    const std::vector<uint16_t> dithered = QuantiseToRgb565(ramp, dither);
    EXPECT_LT(3 * BlockAverageError(ramp, dithered), undithered);
    for (const EncodeOptions& options :
         {EncodeOptions{VexoPath::kPredictive, VexoFamily::k101, 0, dither},
          EncodeOptions{VexoPath::kFast, VexoFamily::k201, 0, dither}}) {
      std::vector<uint16_t> decoded(dithered.size());
      ASSERT_EQ(VexoDecode(options.family, Encoded(ramp, options), decoded).status,
                VexoStatus::kOk);
      EXPECT_EQ(decoded, dithered);
    }
  }
}

// FNV-1a of the files the encoder made before dithering existed.
TEST(Dither, NoneKeepsTheFilesOfBefore) {
  const auto hash = [](const std::vector<uint8_t>& bytes) {
    uint64_t value = 0xcbf29ce484222325;
    for (const uint8_t byte : bytes) value = (value ^ byte) * 0x100000001b3;
    return value;
  };
  const RgbPicture picture = MakeTestPicture(PictureKind::kGradient, 36, 20);
  EXPECT_EQ(hash(Encoded(picture, {VexoPath::kPredictive, VexoFamily::k101, 0})),
            0xd91a008d0bfce949u);
  EXPECT_EQ(hash(Encoded(picture, {VexoPath::kPredictive, VexoFamily::k101, 2})),
            0xe3a9afc2d9c5ccf1u);
  EXPECT_EQ(hash(Encoded(picture, {VexoPath::kFast, VexoFamily::k201, 0})), 0x7e261e5ca6f58ab2u);
}

}  // namespace
}  // namespace vexo::testing
