// Files cut short: every prefix of a valid file either decodes exactly as the
// whole file does or fails as truncated, and never reads outside the file
// (run under the sanitizers to see the latter).
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "bit_writer.h"
#include "decode_helpers.h"
#include "example_files.h"

namespace vexo::testing {
namespace {

void ExpectEveryPrefixDecodesIdenticallyOrFails(VexoFamily family,
                                                const std::vector<uint8_t>& file) {
  const DecodedPicture whole = DecodeWith(family, file);
  ASSERT_EQ(whole.outcome.status, VexoStatus::kOk);
  for (size_t length = 0; length < file.size(); ++length) {
    // A heap copy of exactly `length` bytes, so a read past it is caught.
    const std::vector<uint8_t> prefix(file.begin(), file.begin() + length);
    const DecodedPicture cut = DecodeWith(family, prefix);
    if (length < 4) {
      EXPECT_EQ(cut.outcome.status, VexoStatus::kBadMagic);
    } else if (cut.outcome.status == VexoStatus::kOk) {
      EXPECT_EQ(cut.outcome.result, whole.outcome.result) << "prefix " << length;
      EXPECT_EQ(cut.pixels, whole.pixels) << "prefix " << length;
    } else {
      EXPECT_EQ(cut.outcome.status, VexoStatus::kTruncated) << "prefix " << length;
    }
  }
}

TEST(Truncation, HandCheckedPrefixes) {
  const std::vector<uint8_t> file = HandCheckedFile();
  ExpectEveryPrefixDecodesIdenticallyOrFails(VexoFamily::k101, file);
  // Every cut of this file loses data the decode needs.
  for (size_t length = 4; length < file.size(); ++length) {
    const std::vector<uint8_t> prefix(file.begin(), file.begin() + length);
    EXPECT_EQ(DecodeWith(VexoFamily::k101, prefix).outcome.status, VexoStatus::kTruncated);
  }
}

class RandomPredictivePrefixes : public ::testing::TestWithParam<std::pair<int, int>> {};

TEST_P(RandomPredictivePrefixes, DecodeIdenticallyOrFail) {
  const auto [width, height] = GetParam();
  std::mt19937 random(width * 100 + height);
  const size_t pixels = static_cast<size_t>(width) * height;
  std::vector<uint8_t> bits(pixels * 12 / 8 + 8);
  std::vector<uint16_t> raw(pixels);
  for (auto& b : bits) b = static_cast<uint8_t>(random());
  for (auto& p : raw) p = static_cast<uint16_t>(random());
  const auto file = MakePredictiveFile({.width = static_cast<uint16_t>(width),
                                        .height = static_cast<uint16_t>(height),
                                        .codecVersion = 201},
                                       bits, raw);
  ExpectEveryPrefixDecodesIdenticallyOrFails(VexoFamily::k201, file);
}

INSTANTIATE_TEST_SUITE_P(Sizes, RandomPredictivePrefixes,
                         ::testing::Values(std::pair{8, 8}, std::pair{6, 5}, std::pair{16, 12},
                                           std::pair{3, 3}));

TEST(Truncation, RawStreamOutsideTheFileFailsOnlyWhenUsed) {
  BitWriter bits;
  bits.PutBits("00 1");
  std::vector<uint8_t> file = MakeHeader({.width = 1, .height = 1});
  AppendLe32(file, 1 << 30);
  file.insert(file.end(), bits.Bytes().begin(), bits.Bytes().end());
  EXPECT_EQ(DecodeWith(VexoFamily::k101, file).outcome.status, VexoStatus::kOk);

  BitWriter rawBits;
  rawBits.PutBits("00 0111");
  std::vector<uint8_t> raw = MakeHeader({.width = 1, .height = 1});
  AppendLe32(raw, -2);
  raw.insert(raw.end(), rawBits.Bytes().begin(), rawBits.Bytes().end());
  EXPECT_EQ(DecodeWith(VexoFamily::k101, raw).outcome.status, VexoStatus::kTruncated);
}

TEST(Truncation, HeaderShorterThanTwelveBytes) {
  const std::vector<uint8_t> file = {'V', 'E', 'X', 'O', 4, 0, 4, 0};
  EXPECT_EQ(DecodeWith(VexoFamily::k101, file).outcome.status, VexoStatus::kTruncated);
}

}  // namespace
}  // namespace vexo::testing
