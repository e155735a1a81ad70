// Transform pictures: hand-checked ones, random streams against the plain
// reference, and files cut short (run under the sanitizers to see that no
// cut makes the decoder read outside the file).
#include "transform_stream.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "decode_helpers.h"
#include "transform/pixel_packing.h"
#include "transform_reference.h"

namespace vexo::testing {
namespace {

using Pixels = std::vector<uint16_t>;

Pixels Rows(std::initializer_list<std::pair<int, uint16_t>> rowsAndPixels) {
  Pixels pixels;
  for (const auto& [rows, pixel] : rowsAndPixels) pixels.insert(pixels.end(), rows * 4, pixel);
  return pixels;
}

TEST(TransformHandCheckedPictures, DecodeToTheExpectedPixels) {
  struct Picture {
    uint16_t height;  // all are 4 wide
    uint8_t quality;
    std::vector<uint8_t> coded;
    int32_t result;
    Pixels pixels;
  };
  const Picture pictures[] = {
      // A vertical-mode block below a flat one.
      {8, 28, {0x61, 0xE3, 0x0E}, 19, Rows({{4, 0x8C10}, {4, 0x9410}})},
      // 16 bits: a +1 that rounds away, then a DC block whose left
      // neighbours below the first are not yet decoded and read 0.
      {8, 0, {0x21, 0xD7}, 18, Rows({{4, 0x8410}, {4, Pack565(80, 80, 80)}})},
      // 17 bits: an escape of width 5, +1 x 18 << 5 adds 9 to red.
      {4, 35, {0x58, 0x43, 0x80}, 19, Rows({{4, Pack565(137, 128, 128)}})}};
  for (const Picture& p : pictures) {
    const auto file = MakeTransformFile(4, p.height, p.quality, p.coded);
    const DecodedPicture decoded = DecodeWith(VexoFamily::k101, file);
    ASSERT_EQ(decoded.outcome.status, VexoStatus::kOk) << "quality " << int{p.quality};
    EXPECT_EQ(decoded.outcome.result, p.result) << "quality " << int{p.quality};
    EXPECT_EQ(decoded.pixels, p.pixels) << "quality " << int{p.quality};
  }
}

struct Size {
  uint16_t width, height;
};

class TransformRandomPictures
    : public ::testing::TestWithParam<std::tuple<Size, uint8_t, RandomTransformMix>> {};

TEST_P(TransformRandomPictures, MatchTheReference) {
  const auto [size, quality, mix] = GetParam();
  for (uint32_t seed = 1; seed <= 3; ++seed) {
    const auto file = MakeRandomTransformFile(size.width, size.height, quality, seed, mix);
    const DecodedPicture decoded = DecodeWith(VexoFamily::k101, file);
    const ReferenceDecode expected = ReferenceDecodeTransform(file);
    ASSERT_EQ(decoded.outcome.status, VexoStatus::kOk);
    // The generated coded data ends in its last byte.
    EXPECT_EQ(decoded.outcome.result, static_cast<int32_t>(file.size()));
    EXPECT_EQ(decoded.outcome.result, expected.result);
    ASSERT_EQ(decoded.pixels, expected.pixels) << "seed " << seed;
  }
}

// One block column, padding in one or both directions, and sizes large
// enough for the decoder's unchecked path.
INSTANTIATE_TEST_SUITE_P(SizesQualitiesMixes, TransformRandomPictures,
                         ::testing::Combine(::testing::Values(Size{4, 4}, Size{4, 20}, Size{10, 6},
                                                              Size{16, 16}, Size{13, 9},
                                                              Size{64, 48}, Size{37, 21}),
                                            ::testing::Values<uint8_t>(0, 1, 16, 28, 29, 47, 51),
                                            ::testing::Values(kTypicalMix, kWildMix)));

// Every cut shorter than the result loses a bit the decode consumes; every
// longer one holds all of them, and bytes past the end change nothing.
void ExpectPrefixesDecodeIdenticallyOrFail(const std::vector<uint8_t>& file) {
  const DecodedPicture whole = DecodeWith(VexoFamily::k101, file);
  ASSERT_EQ(whole.outcome.status, VexoStatus::kOk);
  for (size_t length = 12; length < file.size(); ++length) {
    const std::vector<uint8_t> prefix(file.begin(), file.begin() + length);
    const DecodedPicture cut = DecodeWith(VexoFamily::k101, prefix);
    if (length < static_cast<size_t>(whole.outcome.result)) {
      ASSERT_EQ(cut.outcome.status, VexoStatus::kTruncated) << "prefix " << length;
    } else {
      ASSERT_EQ(cut.outcome.status, VexoStatus::kOk) << "prefix " << length;
      EXPECT_EQ(cut.outcome.result, whole.outcome.result);
      EXPECT_EQ(cut.pixels, whole.pixels);
    }
  }
  std::vector<uint8_t> padded = file;
  padded.insert(padded.end(), 300, 0xFF);
  const DecodedPicture decoded = DecodeWith(VexoFamily::k101, padded);
  EXPECT_EQ(decoded.outcome.result, whole.outcome.result);
  EXPECT_EQ(decoded.pixels, whole.pixels);
}

TEST(TransformTruncation, EveryPrefixOfRandomFiles) {
  ExpectPrefixesDecodeIdenticallyOrFail(MakeRandomTransformFile(4, 4, 28, 5, kWildMix));
  ExpectPrefixesDecodeIdenticallyOrFail(MakeRandomTransformFile(10, 6, 1, 6, kWildMix));
  ExpectPrefixesDecodeIdenticallyOrFail(MakeRandomTransformFile(48, 40, 28, 7, kTypicalMix));
}

// Block positions of the longest kind (sixteen escapes of 11 bits in every
// list) take the decoder's look-ahead furthest past its fetch position.
TEST(TransformTruncation, EveryPrefixOfTheLongestLists) {
  TransformStreamWriter writer(1);
  const std::vector<ListEntry> longest(16, ListEntry{-2047, 15});
  for (int position = 0; position < 4; ++position) {
    if (position >= 2) writer.Mode(position);
    for (int plane = 0; plane < 3; ++plane) writer.List(longest);
  }
  ExpectPrefixesDecodeIdenticallyOrFail(writer.File(8, 8));
}

}  // namespace
}  // namespace vexo::testing
