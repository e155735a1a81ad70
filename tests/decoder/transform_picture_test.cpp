// Whole transform pictures through the library's entries: hand-checked
// pictures, the stream syntax's corner cases and the neighbour rule at the
// picture's edges.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "decode_helpers.h"
#include "transform/intra_prediction.h"
#include "transform/plane_packing.h"
#include "transform_reference.h"
#include "transform_stream.h"
#include "vexo_decoder.h"

namespace vexo::testing {
namespace {

using Pixels = std::vector<uint16_t>;

DecodedPicture Decode(const std::vector<uint8_t>& file) {
  return DecodeWith(VexoFamily::k101, file);
}

Pixels Rows(int width, std::initializer_list<std::pair<int, uint16_t>> rowsAndPixels) {
  Pixels pixels;
  for (const auto& [rows, pixel] : rowsAndPixels) pixels.insert(pixels.end(), rows * width, pixel);
  return pixels;
}

// ---- Hand-checked pictures ------------------------------------------

struct HandCheckedPicture {
  const char* name;
  uint16_t width, height;
  uint8_t quality;
  std::vector<uint8_t> coded;
  int32_t result;
  Pixels pixels;
};

void PrintTo(const HandCheckedPicture& c, std::ostream* out) {
  *out << c.name;
}

class TransformHandCheckedPictures : public ::testing::TestWithParam<HandCheckedPicture> {};

TEST_P(TransformHandCheckedPictures, DecodeToTheExpectedPixels) {
  const HandCheckedPicture& c = GetParam();
  const DecodedPicture decoded = Decode(MakeTransformFile(c.width, c.height, c.quality, c.coded));
  ASSERT_EQ(decoded.outcome.status, VexoStatus::kOk);
  EXPECT_EQ(decoded.outcome.result, c.result);
  EXPECT_EQ(decoded.pixels, c.pixels);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, TransformHandCheckedPictures,
    ::testing::Values(
        HandCheckedPicture{"ThreeEmptyLists", 4, 4, 28, {0xE0}, 17, Rows(4, {{4, 0x8410}})},
        HandCheckedPicture{
            "TwoBlocksSideBySide", 8, 4, 28, {0x61, 0xF8}, 18, Rows(8, {{4, 0x8C10}})},
        HandCheckedPicture{"VerticalModeBelow",
                           4,
                           8,
                           28,
                           {0x61, 0xE3, 0x0E},
                           19,
                           Rows(4, {{4, 0x8C10}, {4, 0x9410}})},
        // 16 bits: a +1 that rounds away, then a DC block whose left
        // neighbours below the first are not yet decoded and read 0.
        HandCheckedPicture{"EndsOnAByteBoundary",
                           4,
                           8,
                           0,
                           {0x21, 0xD7},
                           18,
                           Rows(4, {{4, 0x8410}, {4, Pack565(80, 80, 80)}})},
        // 17 bits: an escape of width 5, +1 x 18 << 5 adds 9 to red.
        HandCheckedPicture{"OneBitMoreTakesOneMoreByte",
                           4,
                           4,
                           35,
                           {0x58, 0x43, 0x80},
                           19,
                           Rows(4, {{4, Pack565(137, 128, 128)}})}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Stream syntax corner cases --------------------------------------------

struct SyntaxCase {
  const char* name;
  uint8_t quality;
  std::function<void(TransformStreamWriter&)> write;  // the lists of a 4 x 4 picture
  int bits;
  int green;  // the green sample everywhere
};

void PrintTo(const SyntaxCase& c, std::ostream* out) {
  *out << c.name;
}

class TransformStreamSyntax : public ::testing::TestWithParam<SyntaxCase> {};

// Each case puts an unusual red list before simple green and blue lists: a
// decoder that loses step in the red list misreads the green one.
TEST_P(TransformStreamSyntax, StaysInStep) {
  const SyntaxCase& c = GetParam();
  TransformStreamWriter writer(c.quality);
  c.write(writer);
  ASSERT_EQ(static_cast<int>(writer.Bits().BitCount()), c.bits);
  const auto file = writer.File(4, 4);
  const DecodedPicture decoded = Decode(file);
  ASSERT_EQ(decoded.outcome.status, VexoStatus::kOk);
  EXPECT_EQ(decoded.outcome.result, 16 + (c.bits + 7) / 8);
  EXPECT_EQ(decoded.pixels, ReferenceDecodeTransform(file).pixels);
  for (uint16_t pixel : decoded.pixels) EXPECT_EQ((pixel >> 5) & 0x3F, c.green >> 2);
}

// At quality 28 a +2 at the lowest position adds 8.
INSTANTIATE_TEST_SUITE_P(
    Lists, TransformStreamSyntax,
    ::testing::Values(SyntaxCase{"SixteenEntriesHaveNoEndOfBlock", 28,
                                 [](auto& w) {
                                   w.List(std::vector<ListEntry>(16, ListEntry{1, 0}));
                                   w.List({{2, 0}});
                                   w.EndOfBlock();
                                 },
                                 16 * 7 + 8 + 1, 136},
                      SyntaxCase{"RunPastTheScanKeepsReadingTheList", 28,
                                 [](auto& w) {
                                   w.List({{1, 10}, {2, 9}, {-2, 0, true}, {1, 0}});
                                   w.List({{2, 0}});
                                   w.List({{1, 0}});
                                 },
                                 7 + 7 + 16 + 7 + 1 + 8 + 8, 136},
                      SyntaxCase{"ZeroEscapeAtQualityZero", 0,
                                 [](auto& w) {
                                   w.List({{0, 5, true}, {2, 3}, {-1, 1}});
                                   w.EndOfBlock();
                                   w.EndOfBlock();
                                 },
                                 9 + 7 + 7 + 1 + 2, 128}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Neighbours at the picture's edges -------------------------------------

// Three lists that are only end of block.
void EmptyLists(TransformStreamWriter& w) {
  for (int plane = 0; plane < 3; ++plane) w.EndOfBlock();
}

std::vector<int> RedPlane(const Pixels& pixels) {
  std::vector<int> red;
  for (uint16_t pixel : pixels) red.push_back((pixel >> 11) << 3);
  return red;
}

TEST(TransformEdgeNeighbours, LastColumnReadsTheStartOfItsOwnRow) {
  TransformStreamWriter w(28);
  EmptyLists(w);           // (0,0): 128
  EmptyLists(w);           // (1,0): 128
  w.Mode(kIntraVertical);  // (0,1): an escaped +16 at quality 28 adds 64 to red
  w.List({{16, 0, true}});
  w.EndOfBlock();
  w.EndOfBlock();
  w.Mode(kIntraDiagDownLeft);  // (1,1): T[4..7] are 192
  EmptyLists(w);
  const DecodedPicture decoded = Decode(w.File(8, 8));
  ASSERT_EQ(decoded.outcome.status, VexoStatus::kOk);
  // Down-left filter values along x + y: 128, 128, 144, 176, 192, 192, 192.
  const std::vector<int> expectedRightBlock = {128, 128, 144, 176, 128, 144, 176, 192,
                                               144, 176, 192, 192, 176, 192, 192, 192};
  const std::vector<int> red = RedPlane(decoded.pixels);
  for (int i = 0; i < 16; ++i) {
    EXPECT_EQ(red[8 * (4 + i / 4) + 4 + i % 4], expectedRightBlock[i] >> 3 << 3) << i;
    EXPECT_EQ(red[8 * (4 + i / 4) + i % 4], 192) << i;
  }
}

}  // namespace
}  // namespace vexo::testing
