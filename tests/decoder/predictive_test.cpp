// The predictive path: the classic entries, block order, the equivalence of
// its two forms, and files cut short.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <span>
#include <string_view>
#include <vector>

#include "bit_writer.h"
#include "decode_helpers.h"
#include "example_files.h"
#include "vexo_classic.h"
#include "vexo_decoder.h"

namespace vexo::testing {
namespace {

using Pixels = std::vector<uint16_t>;

// The hand-checked file decodes to these pixels; the stored pixel hashes
// cover its other qualities and the other family.
const Pixels kFineExample = {0xF800, 0xF800, 0xF000, 0xF021, 0xF021, 0xF021, 0xF041, 0x001F};

TEST(ClassicEntries, WrongFamilyFailsWithoutWritingAndKeepsTheError) {
  const auto file201 = HandCheckedFile(0, 201);
  Pixels pixels(8, 0x1234);
  EXPECT_EQ(Vexo101Decode(file201.data(), file201.size(), pixels.data()), -1);
  EXPECT_EQ(Vexo101LastError(), VexoErrorBadVersion);
  EXPECT_EQ(pixels, Pixels(8, 0x1234));

  // A later success leaves the last error as it was.
  const auto file101 = HandCheckedFile(0, 101);
  EXPECT_EQ(Vexo101Decode(file101.data(), file101.size(), pixels.data()), 24);
  EXPECT_EQ(Vexo101LastError(), VexoErrorBadVersion);
  EXPECT_EQ(pixels, kFineExample);
}

TEST(ReentrantEntry, OutputSmallerThanThePictureIsMalformed) {
  const auto file = HandCheckedFile(0, 101);
  Pixels pixels(7);
  EXPECT_EQ(VexoDecode(VexoFamily::k101, file, pixels).status, VexoStatus::kMalformed);
}

// Codes every pixel of every block raw, so each output pixel holds the
// position at which its block order decoded it.
TEST(BlockOrder, EdgeBlocksFollowTheFullOnesInRasterOrder) {
  BitWriter bits;
  Pixels raw;
  for (int block = 0; block < 4; ++block) {
    bits.Put(0, 2);
    for (int i = 0; i < std::array{16, 8, 4, 2}[block]; ++i) {
      bits.PutBits("0111");
      raw.push_back(static_cast<uint16_t>(raw.size()));
    }
  }
  const auto file = MakePredictiveFile({.width = 6, .height = 5}, bits.Bytes(), raw);
  const DecodedPicture decoded = DecodeWith(VexoFamily::k101, file);
  ASSERT_EQ(decoded.outcome.status, VexoStatus::kOk);
  // 4 x 4 at (0,0), 2 x 4 at (4,0), 4 x 1 at (0,4), 2 x 1 at (4,4).
  const Pixels expected = {0,  1,  2,  3,  16, 17,  //
                           4,  5,  6,  7,  18, 19,  //
                           8,  9,  10, 11, 20, 21,  //
                           12, 13, 14, 15, 22, 23,  //
                           24, 25, 26, 27, 28, 29};
  EXPECT_EQ(decoded.pixels, expected);
  // The raw stream ends the file, and every raw pixel moves the result on.
  EXPECT_EQ(decoded.outcome.result, static_cast<int32_t>(file.size()));
}

// Any bit string is a valid stream: random bits with plenty of raw pixels
// behind them.
std::vector<uint8_t> RandomPredictiveFile(std::mt19937& random, uint16_t width, uint16_t height,
                                          uint8_t quality, uint8_t codecVersion = 101) {
  const size_t pixels = static_cast<size_t>(width) * height;
  std::vector<uint8_t> bits(pixels * 12 / 8 + 8);
  std::vector<uint16_t> raw(pixels);
  for (auto& b : bits) b = static_cast<uint8_t>(random());
  for (auto& p : raw) p = static_cast<uint16_t>(random());
  return MakePredictiveFile(
      {.width = width, .height = height, .quality = quality, .codecVersion = codecVersion}, bits,
      raw);
}

// The output does not depend on the buffer's prior content, and every prefix
// of a valid file decodes exactly as the whole file does or fails as
// truncated. Each prefix is a heap copy of exactly its length, so
// the sanitizer build catches a read past it.
class RandomPredictivePrefixes : public ::testing::TestWithParam<std::pair<int, int>> {};

TEST_P(RandomPredictivePrefixes, DecodeIdenticallyOrFail) {
  const auto [width, height] = GetParam();
  std::mt19937 random(width * 100 + height);
  const auto file = RandomPredictiveFile(random, width, height, 0, 201);
  const DecodedPicture whole = DecodeWith(VexoFamily::k201, file);
  ASSERT_EQ(whole.outcome.status, VexoStatus::kOk);
  EXPECT_EQ(DecodeWith(VexoFamily::k201, file, 0).pixels, whole.pixels);
  for (size_t length = 4; length < file.size(); ++length) {
    const std::vector<uint8_t> prefix(file.begin(), file.begin() + length);
    const DecodedPicture cut = DecodeWith(VexoFamily::k201, prefix);
    if (cut.outcome.status == VexoStatus::kOk) {
      EXPECT_EQ(cut.outcome.result, whole.outcome.result) << "prefix " << length;
      EXPECT_EQ(cut.pixels, whole.pixels) << "prefix " << length;
    } else {
      EXPECT_EQ(cut.outcome.status, VexoStatus::kTruncated) << "prefix " << length;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Sizes, RandomPredictivePrefixes,
                         ::testing::Values(std::pair{8, 8}, std::pair{6, 5}, std::pair{16, 12},
                                           std::pair{3, 3}));

// A 1 x 1 picture whose raw stream starts outside the file.
VexoStatus StatusWithRawOffset(int32_t rawOffset, std::string_view code) {
  BitWriter bits;
  bits.PutBits(code);
  std::vector<uint8_t> file = MakeHeader({.width = 1, .height = 1});
  AppendLe32(file, rawOffset);
  file.insert(file.end(), bits.Bytes().begin(), bits.Bytes().end());
  return DecodeWith(VexoFamily::k101, file).outcome.status;
}

TEST(Truncation, RawStreamOutsideTheFileFailsOnlyWhenUsed) {
  EXPECT_EQ(StatusWithRawOffset(1 << 30, "00 1"), VexoStatus::kOk);       // a copy
  EXPECT_EQ(StatusWithRawOffset(-2, "00 0111"), VexoStatus::kTruncated);  // a raw pixel
}

}  // namespace
}  // namespace vexo::testing
