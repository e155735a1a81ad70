// The transform-path encoder: every file decodes, quality trades size for
// fidelity, and the forward kernels mirror the decoder's.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "file_decoder.h"
#include "pixel_conversion.h"
#include "test_pictures.h"
#include "transform/block_search.h"
#include "transform/forward_transform.h"
#include "transform/inverse_transform.h"
#include "transform/transform_encoder.h"
#include "vexo_decoder.h"

namespace vexo::testing {
namespace {

struct Decoded {
  std::vector<uint8_t> file;
  std::vector<uint16_t> pixels;
  VexoDecodeResult outcome;
};

Decoded EncodeAndDecode(const RgbPicture& picture, int quality, int effort = kDefaultEffort) {
  Decoded d;
  d.file =
      EncodeVexo(picture, {VexoPath::kTransform, VexoFamily::k101, quality, Dither::kNone, effort})
          .value();
  d.pixels.assign(static_cast<size_t>(picture.width) * picture.height, 0x1234);
  d.outcome = VexoDecode(VexoFamily::k101, d.file, d.pixels);
  return d;
}

// Every quality decodes to the file's end, on sizes with partial blocks and
// macroblocks. Up to quality 28 the lowest-frequency step is at most a few
// sample values, which keeps the picture above 30 dB against its 8-bit source
// (the 5-6-5 output alone caps it near 42 dB).
TEST(TransformRoundTrip, EveryQualityDecodesAndTheFineOnesStayFaithful) {
  for (const PictureKind kind : {PictureKind::kFlat, PictureKind::kNoise, PictureKind::kEdges}) {
    for (const auto& [width, height] : {std::pair{1, 1}, {33, 17}, {4, 21}}) {
      const RgbPicture picture = MakeTestPicture(kind, width, height);
      for (const int quality : {0, 1, 10, 28, 40, 51}) {
        const Decoded d = EncodeAndDecode(picture, quality);
        ASSERT_EQ(d.outcome.status, VexoStatus::kOk) << width << "x" << height << " q" << quality;
        EXPECT_EQ(d.outcome.result, static_cast<int32_t>(d.file.size()));
        if (quality >= 1 && quality <= 28) {
          EXPECT_GE(PsnrAgainstSource(picture, d.pixels), 30.0)
              << PictureKindName(kind) << " " << width << "x" << height << " q" << quality;
        }
      }
    }
  }
}

// The decoder rebuilds exactly the picture the encoder predicted from, at
// every effort: any difference would make later predictions drift.
TEST(TransformRoundTrip, DecodesToTheEncodersOwnReconstruction) {
  for (const PictureKind kind : {PictureKind::kNoise, PictureKind::kEdges}) {
    const RgbPicture picture = MakeTestPicture(kind, 37, 22);
    for (const int quality : {0, 6, 18, 30, 51}) {
      for (int effort = kLowestEffort; effort <= kHighestEffort; ++effort) {
        VexoHeader header{};
        header.width = static_cast<uint16_t>(picture.width);
        header.height = static_cast<uint16_t>(picture.height);
        header.pathFlag = 1;
        header.quality = static_cast<uint8_t>(quality);
        header.codecVersion = static_cast<uint8_t>(VexoFamily::k101);
        const TransformEncoding encoding = EncodeTransformAndRebuild(picture, header, effort);
        std::vector<uint16_t> pixels(encoding.rebuilt565.size(), 0x1234);
        ASSERT_EQ(VexoDecode(VexoFamily::k101, encoding.file, pixels).status, VexoStatus::kOk);
        EXPECT_EQ(pixels, encoding.rebuilt565)
            << PictureKindName(kind) << " q" << quality << " effort " << effort;
      }
    }
  }
}

// A photograph, a bundled sample as the viewer shows it, at every quality
// index: the picture never gets better as the index rises, and the file
// shrinks. Quality 0 only has to decode: its levels stop at 2, too small to
// correct any prediction, so it cannot code a photograph. Near the 5-6-5
// ceiling a few samples decide the PSNR, so the tolerance is in squared
// error: at most 5% more than the coarser neighbour's, or one sample step.
TEST(TransformPhotograph, FidelityNeverRisesWithTheQualityIndex) {
  vexo::FileDecoder decoder;
  ASSERT_EQ(decoder.Decode(VEXO_SAMPLES_DIR "/cat-176x144-predictive-101.vxo").status,
            vexo::FileDecodeStatus::kOk);
  RgbPicture picture{decoder.ImageWidth(), decoder.ImageHeight(),
                     std::vector<uint8_t>(3 * decoder.Image565().size()), true};
  vexo::ExpandRgb565(decoder.Image565(), picture.rgb);
  ASSERT_EQ(EncodeAndDecode(picture, 0).outcome.status, VexoStatus::kOk);
  const auto squaredError = [&](const Decoded& d) {
    const double psnr = PsnrAgainstSource(picture, d.pixels);
    return std::isinf(psnr)
               ? 0.0
               : static_cast<double>(picture.rgb.size()) * 255 * 255 / std::pow(10.0, psnr / 10);
  };
  double previousError = 0;
  for (int quality = 1; quality <= 51; ++quality) {
    const Decoded d = EncodeAndDecode(picture, quality);
    ASSERT_EQ(d.outcome.status, VexoStatus::kOk) << "quality " << quality;
    const double error = squaredError(d);
    EXPECT_GE(error, previousError / 1.05 - 64) << "quality " << quality;
    previousError = error;
  }
  EXPECT_LT(EncodeAndDecode(picture, 40).file.size(), EncodeAndDecode(picture, 4).file.size() / 2);
}

// The search measures its trials by adding up unit residuals instead of
// rebuilding each one; what it reports must still be the error of the block
// the decoder rebuilds, on both sides of quality 12 where that sum stops
// being exact, and refinement must never make a block dearer.
TEST(BlockSearch, ReportsTheErrorOfTheBlockTheDecoderRebuilds) {
  std::mt19937 random(7);
  for (const int quality : {6, 11, 12, 24, 40, 51}) {
    const BlockSearch search(*TransformQualityFor(quality), {kMostStarts, 4, true});
    for (int trial = 0; trial < 300; ++trial) {
      const int plane = trial % 3;
      Block pred, source;
      for (int i = 0; i < 16; ++i) {
        pred[i] = static_cast<uint8_t>(random());
        source[i] =
            static_cast<uint8_t>(std::clamp<int>(pred[i] + int(random() % 81) - 40, 0, 255));
      }
      BlockTrial chosen = search.FirstChoice(pred, BlockSearch::Aim(source, plane), source, plane);
      for (const bool refined : {false, true}) {
        const double costBefore = chosen.cost;
        if (refined) search.Refine(pred, source, plane, chosen);
        EXPECT_LE(chosen.cost, costBefore);
        const Block rebuilt = search.Rebuild(pred, chosen.levels);
        const int mask = plane == 1 ? 0xFC : 0xF8;
        int32_t error = 0;
        for (int i = 0; i < 16; ++i)
          error += ((rebuilt[i] & mask) - source[i]) * ((rebuilt[i] & mask) - source[i]);
        ASSERT_EQ(chosen.distortion, error)
            << "quality " << quality << ", trial " << trial << (refined ? ", refined" : "");
      }
    }
  }
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

}  // namespace
}  // namespace vexo::testing
