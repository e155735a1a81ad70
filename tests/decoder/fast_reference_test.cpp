// The fast path against a plain reference decoder that reads every stream bit
// by bit and every pixel one at a time into a zero-filled picture, on random
// pictures of every mode, size, stream layout and on every prefix of a file.
#include <gtest/gtest.h>

#include <optional>

#include "decode_helpers.h"
#include "fast/fast_delta_table.h"
#include "fast_file_builder.h"

namespace vexo::testing {
namespace {

class ReferenceFastDecoder {
 public:
  explicit ReferenceFastDecoder(const std::vector<uint8_t>& file) : file_(file) {}

  // The picture and result, or nothing when a read fell outside the file.
  std::optional<std::pair<std::vector<uint16_t>, int32_t>> Decode() {
    const auto header = ReadVexoHeader(file_);
    const int32_t width = header->SignedWidth();
    const int32_t height = header->SignedHeight();
    scale_ = header->quality == 2 ? 2 : 1;
    symbol_ = Le32(12);
    raw_ = symbol_ + Le32(16);
    pixels_.assign(width > 0 && height > 0 ? size_t(width) * height : 0, 0);
    int64_t codeBit = 20 * 8;
    int64_t position = 0;
    for (int32_t by = 0; by < height / 4; ++by) {
      for (int32_t bx = 0; bx < width / 4; ++bx) {
        const uint32_t code = Bits(codeBit, 5);
        codeBit += 5;
        if ((code & 15) > 10) continue;
        DecodeBlock(code >> 4, code & 15, position, width);
        position += 4;
      }
      position += 3 * width + width % 4;
    }
    if (failed_) return std::nullopt;
    return std::pair{pixels_, raw_ > 0 && raw_ <= INT32_MAX ? int32_t(raw_) : -1};
  }

 private:
  int64_t Le32(int64_t offset) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | Byte(offset + i);
    return static_cast<int32_t>(value);
  }
  uint8_t Byte(int64_t offset) {
    if (offset < 0 || offset >= int64_t(file_.size())) {
      failed_ = true;
      return 0;
    }
    return file_[offset];
  }
  uint32_t Bits(int64_t firstBit, int count) {
    uint32_t value = 0;
    for (int64_t bit = firstBit; bit < firstBit + count; ++bit) {
      value = (value << 1) | ((Byte(bit / 8) >> (7 - bit % 8)) & 1);
    }
    return value;
  }
  uint16_t NextRaw() {
    raw_ += 2;
    return static_cast<uint16_t>(Byte(raw_ - 2) | Byte(raw_ - 1) << 8);
  }
  uint16_t Pixel(int64_t index) { return index >= 0 ? pixels_[index] : 0; }

  void DecodeBlock(uint32_t vertical, uint32_t mode, int64_t p0, int64_t width) {
    if (mode == 0) {
      for (int i = 0; i < 16; ++i) pixels_[p0 + i / 4 * width + i % 4] = NextRaw();
      return;
    }
    std::vector<uint32_t> symbols(16, 1);
    if (mode < 10) {
      for (int k = 0; k < 16; ++k) symbols[k] = Bits(symbol_ * 8 + k * mode, int(mode));
      symbol_ += 2 * mode;
    }
    for (int chain = 0; chain < 4; ++chain) {
      uint16_t value = Pixel(vertical ? p0 - width + chain : p0 + chain * width - 1);
      for (int i = 0; i < 4; ++i) {
        const uint32_t s = mode == 10 ? 1 : symbols[4 * chain + i];
        value = s == 0 ? NextRaw() : uint16_t(value + scale_ * FastDeltaTable[s - 1]);
        pixels_[vertical ? p0 + i * width + chain : p0 + chain * width + i] = value;
      }
    }
  }

  const std::vector<uint8_t>& file_;
  std::vector<uint16_t> pixels_;
  int64_t symbol_ = 0;
  int64_t raw_ = 0;
  int32_t scale_ = 1;
  bool failed_ = false;
};

void ExpectDecodesLikeTheReference(const std::vector<uint8_t>& file) {
  const auto expected = ReferenceFastDecoder(file).Decode();
  const DecodedPicture decoded = DecodeWith(VexoFamily::k201, file);
  if (!expected) {
    EXPECT_EQ(decoded.outcome.status, VexoStatus::kTruncated);
    return;
  }
  ASSERT_EQ(decoded.outcome.status, VexoStatus::kOk);
  EXPECT_EQ(decoded.outcome.result, expected->second);
  EXPECT_EQ(decoded.pixels, expected->first);
}

class FastReferenceTest : public ::testing::TestWithParam<FastPictureRecipe> {};

TEST_P(FastReferenceTest, RandomPictureDecodesLikeTheReference) {
  for (uint32_t seed = 1; seed <= 20; ++seed) {
    FastPictureRecipe recipe = GetParam();
    recipe.seed = seed;
    SCOPED_TRACE(seed);
    ExpectDecodesLikeTheReference(MakeFastPicture(recipe));
  }
}

// Every prefix either decodes exactly like the whole file or fails as
// truncated, and the size check before allocating never refuses one that
// decodes.
TEST_P(FastReferenceTest, EveryPrefixDecodesIdenticallyOrFailsAsTruncated) {
  const std::vector<uint8_t> file = MakeFastPicture(GetParam());
  const auto header = ReadVexoHeader(file);
  for (size_t size = kVexoHeaderSize; size <= file.size(); ++size) {
    SCOPED_TRACE(size);
    const std::vector<uint8_t> prefix(file.begin(), file.begin() + size);
    ExpectDecodesLikeTheReference(prefix);
    if (DecodeWith(VexoFamily::k201, prefix).outcome.status == VexoStatus::kOk) {
      EXPECT_TRUE(VexoFileCanHoldPicture(*header, size));
    }
  }
}

FastPictureRecipe Recipe(uint16_t width, uint16_t height, uint8_t quality, bool undefinedModes,
                         FastLayout layout = {}) {
  return {width, height, quality, 1, undefinedModes, layout};
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, FastReferenceTest,
    ::testing::Values(Recipe(4, 4, 0, false), Recipe(4, 16, 0, false), Recipe(16, 16, 0, false),
                      Recipe(16, 16, 1, false), Recipe(16, 16, 2, false), Recipe(12, 10, 0, true),
                      Recipe(10, 13, 2, true), Recipe(23, 9, 0, true),
                      Recipe(16, 12, 0, false, {.rawFirst = true}),
                      Recipe(16, 12, 2, true, {.rawFirst = true, .gapAfterCodes = 3}),
                      Recipe(20, 8, 0, false, {.gapAfterCodes = 1, .gapBetween = 5}),
                      Recipe(20, 8, 0, true, {.rawFirst = true, .gapBetween = 7}),
                      // Wide enough for long runs of blocks decoded without checks.
                      Recipe(64, 12, 0, true), Recipe(68, 8, 2, false, {.rawFirst = true})));

}  // namespace
}  // namespace vexo::testing
