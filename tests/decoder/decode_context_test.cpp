// A decode context kept across pictures gives exactly what fresh one-shot
// decodes give, whatever it decoded before: larger and smaller pictures, a
// single block column, and a failed decode in between.
#include <gtest/gtest.h>

#include <vector>

#include "transform_stream.h"
#include "vexo_decoder.h"

namespace vexo::testing {
namespace {

std::vector<uint16_t> OutputFor(const std::vector<uint8_t>& file, uint16_t fill) {
  return std::vector<uint16_t>(VexoPixelCount(*ReadVexoHeader(file)), fill);
}

TEST(DecodeContext, ReusedContextMatchesOneShotDecodes) {
  struct Picture {
    uint16_t width, height;
    uint8_t quality;
  };
  // Wide to narrow and back, so that every picture finds working rows written
  // by another; 4-wide pictures read samples of their own block row early.
  const Picture pictures[] = {{96, 64, 28}, {4, 20, 1},   {36, 8, 47}, {100, 36, 24},
                              {4, 4, 0},    {12, 44, 16}, {96, 64, 28}};
  VexoDecodeContext context;
  uint32_t seed = 40;
  for (const Picture& picture : pictures) {
    for (const auto& mix : {kWildMix, kTypicalMix}) {
      const auto file =
          MakeRandomTransformFile(picture.width, picture.height, picture.quality, ++seed, mix);
      std::vector<uint16_t> fresh = OutputFor(file, 0x1234);
      std::vector<uint16_t> reused = OutputFor(file, 0xBEEF);
      const VexoDecodeResult expected = VexoDecode(VexoFamily::k101, file, fresh);
      const VexoDecodeResult got = context.Decode(VexoFamily::k101, file, reused);
      ASSERT_EQ(expected.status, VexoStatus::kOk);
      EXPECT_EQ(got.status, expected.status);
      EXPECT_EQ(got.result, expected.result);
      EXPECT_EQ(reused, fresh) << picture.width << " x " << picture.height << ", seed " << seed;
      // A truncated copy fails alike and leaves the context usable.
      const std::vector<uint8_t> cut(file.begin(), file.begin() + 17);
      EXPECT_EQ(context.Decode(VexoFamily::k101, cut, reused).status,
                VexoDecode(VexoFamily::k101, cut, fresh).status);
    }
  }
  // A row of each plane of the widest picture, with the sample before it
  // and four after (and room to align them), whatever the heights.
  EXPECT_EQ(context.KeptBytes(), size_t{3 * (100 + 8) + 4});
}

}  // namespace
}  // namespace vexo::testing
