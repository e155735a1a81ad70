// The fast path on small hand-made pictures: block operations, undefined
// modes and the stream offsets.
#include <gtest/gtest.h>

#include <numeric>

#include "decode_helpers.h"
#include "fast_file_builder.h"

namespace vexo::testing {
namespace {

using Pixels = std::vector<uint16_t>;

Pixels Counting(uint16_t first, size_t count) {
  Pixels values(count);
  std::iota(values.begin(), values.end(), first);
  return values;
}

// The 16 pixels of the 4 x 4 block whose top-left pixel is at (x, y).
Pixels BlockAt(const DecodedPicture& picture, int width, int x, int y) {
  Pixels block;
  for (int i = 0; i < 16; ++i) block.push_back(picture.pixels[(y + i / 4) * width + x + i % 4]);
  return block;
}

// A raw first block sets the pixels the second block starts its chains from:
// a vertical second block lies below it (picture 4 x 8), a horizontal one
// right of it (picture 8 x 4).
struct SecondBlockCase {
  const char* name;
  bool vertical;
  int mode;
  uint8_t quality;
  Pixels firstBlock;
  std::vector<uint8_t> symbolBytes;
  Pixels raw;
  Pixels expected;
};

void PrintTo(const SecondBlockCase& c, std::ostream* out) {
  *out << c.name;
}

class FastSecondBlockTest : public ::testing::TestWithParam<SecondBlockCase> {};

TEST_P(FastSecondBlockTest, RebuildsTheBlockFromItsNeighboursAndStreams) {
  const SecondBlockCase& c = GetParam();
  const uint16_t width = c.vertical ? 4 : 8;
  FastFileBuilder builder;
  builder.Code(false, 0).Raw(c.firstBlock);
  builder.Code(c.vertical, c.mode).SymbolBytes(c.symbolBytes).Raw(c.raw);
  const std::vector<uint8_t> file = builder.Build(FastHeader(width, 32 / width, c.quality));

  const DecodedPicture decoded = DecodeWith(VexoFamily::k201, file);
  ASSERT_EQ(decoded.outcome.status, VexoStatus::kOk);
  EXPECT_EQ(decoded.outcome.result, static_cast<int32_t>(file.size()));  // every raw pixel used
  EXPECT_EQ(BlockAt(decoded, width, c.vertical ? 0 : 4, c.vertical ? 4 : 0), c.expected);
}

const Pixels kModeTwoAbove = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x0000, 0x1111, 0x07E0, 0xF800};
const Pixels kModeOneLeft = {0, 0, 0, 0x1003, 0, 0, 0, 0x1007, 0, 0, 0, 0x100B, 0, 0, 0, 0x100F};
const std::vector<uint8_t> kModeTwoSymbols = {0x1B, 0x00, 0xE4, 0x55};
const Pixels kModeTwoRaw = {0x1234, 0xAAAA, 0xBBBB, 0xCCCC, 0xDDDD, 0xEEEE};
// Symbol 511 at the top of each column, then copies: 16 symbols of 9 bits.
const std::vector<uint8_t> kWidestSymbols = {0xFF, 0x80, 0x40, 0x20, 0x1F, 0xF8, 0x04, 0x02, 0x01,
                                             0xFF, 0x80, 0x40, 0x20, 0x1F, 0xF8, 0x04, 0x02, 0x01};

INSTANTIATE_TEST_SUITE_P(
    Blocks, FastSecondBlockTest,
    ::testing::Values(
        SecondBlockCase{"VerticalModeTwo",
                        true,
                        2,
                        0,
                        kModeTwoAbove,
                        kModeTwoSymbols,
                        kModeTwoRaw,
                        {0x1234, 0xAAAA, 0x0FE0, 0xF800, 0x1234, 0xBBBB, 0x07E0, 0xF800,  //
                         0x0A34, 0xCCCC, 0x07E0, 0xF800, 0x1234, 0xDDDD, 0xEEEE, 0xF800}},
        SecondBlockCase{"BorrowAcrossColourFields",
                        true,
                        3,
                        0,
                        Pixels(16, 0),
                        {0xE4, 0x92, 0x49, 0x24, 0x92, 0x49},
                        {},
                        {0xF7E0, 0, 0, 0, 0xF7E0, 0, 0, 0, 0xF7E0, 0, 0, 0, 0xF7E0, 0, 0, 0}},
        SecondBlockCase{"HorizontalModeOne",
                        false,
                        1,
                        0,
                        kModeOneLeft,
                        {0x8F, 0x05},
                        {0xA001, 0xA002, 0xA003, 0xB001, 0xB002, 0xB003, 0xB004, 0xC001, 0xC002},
                        {0x1003, 0xA001, 0xA002, 0xA003, 0x1007, 0x1007, 0x1007, 0x1007,  //
                         0xB001, 0xB002, 0xB003, 0xB004, 0xC001, 0xC001, 0xC002, 0xC002}},
        // Symbol 9 adds 1 to FFFF in the first column.
        SecondBlockCase{"CarryWrapsAtSixteenBits",
                        false,
                        4,
                        0,
                        Pixels(16, 0xFFFF),
                        std::vector<uint8_t>(8, 0x99),
                        {},
                        {0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3}},
        SecondBlockCase{"WidestSymbolLastEntry",
                        true,
                        9,
                        0,
                        Pixels(16, 0),
                        kWidestSymbols,
                        {},
                        Pixels(16, 0xE883)}),  // 0 - 6013
    [](const auto& info) { return std::string(info.param.name); });

// Only whole blocks are decoded, block row by starting at picture row 4 x by,
// column 0, whatever the width; the rest of the picture stays 0. pathFlag 2:
// any non-zero value selects the fast path.
class FastPictureSizeTest : public ::testing::TestWithParam<std::pair<int, int>> {};

// Offsets are checked only where a stream is read. The picture is one block
// with two symbol bytes (zero) at offset 21 and 16 raw pixels at offset 23.
struct StreamOffsetCase {
  const char* name;
  int mode;
  int32_t symbolOffset;
  int32_t symbolSpan;
  VexoDecodeResult expected;
};

void PrintTo(const StreamOffsetCase& c, std::ostream* out) {
  *out << c.name;
}

class FastStreamOffsetTest : public ::testing::TestWithParam<StreamOffsetCase> {};

TEST_P(FastStreamOffsetTest, FailsOnlyWhenAStreamIsReadOutsideTheFile) {
  const StreamOffsetCase& c = GetParam();
  std::vector<uint8_t> file = FastFileBuilder()
                                  .Code(false, c.mode)
                                  .Symbols(1, {})
                                  .Raw(Counting(1, 16))
                                  .Build(FastHeader(4, 4));
  std::vector<uint8_t> offsets;
  AppendLe32(offsets, c.symbolOffset);
  AppendLe32(offsets, c.symbolSpan);
  std::copy(offsets.begin(), offsets.end(), file.begin() + 12);

  const VexoDecodeResult outcome = DecodeWith(VexoFamily::k201, file).outcome;
  EXPECT_EQ(outcome.status, c.expected.status);
  EXPECT_EQ(outcome.result, c.expected.result);
}

constexpr VexoDecodeResult kTruncated{VexoStatus::kTruncated, -1};

INSTANTIATE_TEST_SUITE_P(
    Offsets, FastStreamOffsetTest,
    ::testing::Values(
        StreamOffsetCase{"UnusedPastTheEnd", 10, 5000, -1000, {VexoStatus::kOk, 4000}},
        StreamOffsetCase{"UnusedBeyondTheResult", 10, 0x7FFFFFF0, 0x100, {VexoStatus::kOk, -1}},
        StreamOffsetCase{"RawBeforeTheFile", 0, 24, -30, kTruncated},
        StreamOffsetCase{"SymbolsBeforeTheFile", 1, -1, 30, kTruncated},
        // The width field 04 00 as symbols: 15 zero bits take 15 raw pixels from offset 24.
        StreamOffsetCase{"SymbolsInsideTheHeader", 1, 4, 20, {VexoStatus::kOk, 54}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vexo::testing
