// The fast path on small hand-made pictures: a block checked by hand, and the
// stream offsets.
#include <gtest/gtest.h>

#include <numeric>

#include "decode_helpers.h"
#include "fast_file_builder.h"

namespace vexo::testing {
namespace {

using Pixels = std::vector<uint16_t>;

// A raw first block sets the pixels a vertical second block below it starts
// its chains from (picture 4 x 8); random pictures of every mode and
// direction are checked against the plain reference decoder.
TEST(FastHandCheckedBlock, RebuildsFromItsNeighboursAndStreams) {
  const Pixels firstBlock = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x0000, 0x1111, 0x07E0, 0xF800};
  FastFileBuilder builder;
  builder.Code(false, 0).Raw(firstBlock);
  builder.Code(true, 2).SymbolBytes({0x1B, 0x00, 0xE4, 0x55});
  builder.Raw({0x1234, 0xAAAA, 0xBBBB, 0xCCCC, 0xDDDD, 0xEEEE});
  const auto file = builder.Build(FastHeader(4, 8, 0));
  const DecodedPicture decoded = DecodeWith(VexoFamily::k201, file);
  ASSERT_EQ(decoded.outcome.status, VexoStatus::kOk);
  EXPECT_EQ(decoded.outcome.result, static_cast<int32_t>(file.size()));  // every raw pixel used
  const Pixels secondBlock(decoded.pixels.begin() + 16, decoded.pixels.end());
  EXPECT_EQ(secondBlock, Pixels({0x1234, 0xAAAA, 0x0FE0, 0xF800, 0x1234, 0xBBBB, 0x07E0, 0xF800,
                                 0x0A34, 0xCCCC, 0x07E0, 0xF800, 0x1234, 0xDDDD, 0xEEEE, 0xF800}));
}

// Offsets are checked only where a stream is read. The picture is one block
// with two symbol bytes (zero) at offset 21 and 16 raw pixels at offset 23.
TEST(FastStreamOffsets, FailOnlyWhenAStreamIsReadOutsideTheFile) {
  struct Case {
    int mode;
    int32_t symbolOffset, symbolSpan;
    VexoDecodeResult expected;
  };
  constexpr VexoDecodeResult kTruncated{VexoStatus::kTruncated, -1};
  const Case cases[] = {
      {10, 5000, -1000, {VexoStatus::kOk, 4000}},      // unused, past the end
      {10, 0x7FFFFFF0, 0x100, {VexoStatus::kOk, -1}},  // unused, beyond the result
      {0, 24, -30, kTruncated},                        // raw before the file
      {1, -1, 30, kTruncated},                         // symbols before the file
      // The width field 04 00 as symbols: 15 zero bits take 15 raw pixels from offset 24.
      {1, 4, 20, {VexoStatus::kOk, 54}}};
  Pixels raw(16);
  std::iota(raw.begin(), raw.end(), uint16_t{1});
  for (const Case& c : cases) {
    std::vector<uint8_t> file =
        FastFileBuilder().Code(false, c.mode).Symbols(1, {}).Raw(raw).Build(FastHeader(4, 4));
    std::vector<uint8_t> offsets;
    AppendLe32(offsets, c.symbolOffset);
    AppendLe32(offsets, c.symbolSpan);
    std::copy(offsets.begin(), offsets.end(), file.begin() + 12);
    const VexoDecodeResult outcome = DecodeWith(VexoFamily::k201, file).outcome;
    EXPECT_EQ(outcome.status, c.expected.status) << "offsets " << c.symbolOffset;
    EXPECT_EQ(outcome.result, c.expected.result) << "offsets " << c.symbolOffset;
  }
}

}  // namespace
}  // namespace vexo::testing
