// Reading the pictures the encoder starts from.
#include "picture_reader.h"

#include <gtest/gtest.h>
#include <spng.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>

#include "bmp_file.h"
#include "pixel_conversion.h"
#include "temp_folder_test.h"
#include "test_pictures.h"

namespace vexo::testing {
namespace {

class PictureReaderTest : public vexo::testing::TempFolderTest {
 protected:
  const RgbPicture picture_ = MakeTestPicture(PictureKind::kNoise, 7, 5);
};

std::vector<uint8_t> EncodePng(std::span<const uint8_t> pixels, uint32_t width, uint32_t height,
                               uint8_t colourType) {
  spng_ctx* context = spng_ctx_new(SPNG_CTX_ENCODER);
  spng_set_option(context, SPNG_ENCODE_TO_BUFFER, 1);
  spng_ihdr header{};
  header.width = width;
  header.height = height;
  header.bit_depth = 8;
  header.color_type = colourType;
  spng_set_ihdr(context, &header);
  spng_encode_image(context, pixels.data(), pixels.size(), SPNG_FMT_PNG, SPNG_ENCODE_FINALIZE);
  size_t size = 0;
  int error = 0;
  auto* buffer = static_cast<uint8_t*>(spng_get_png_buffer(context, &size, &error));
  std::vector<uint8_t> png(buffer, buffer + size);
  free(buffer);
  spng_ctx_free(context);
  return png;
}

std::vector<uint8_t> EncodePng(const RgbPicture& picture) {
  return EncodePng(picture.rgb, static_cast<uint32_t>(picture.width),
                   static_cast<uint32_t>(picture.height), SPNG_COLOR_TYPE_TRUECOLOR);
}

RgbPicture Expect(const Result<RgbPicture>& read) {
  if (read) return *read;
  ADD_FAILURE() << read.error().message;
  return {};
}

TEST_F(PictureReaderTest, PngRoundTrip) {
  const RgbPicture read = Expect(ReadPicture(Write("a.png", EncodePng(picture_))));
  EXPECT_EQ(read.width, 7);
  EXPECT_EQ(read.height, 5);
  EXPECT_EQ(read.rgb, picture_.rgb);
  EXPECT_TRUE(read.from24BitSource);
}

// Opaque, half-transparent and transparent pixels over white and over another colour.
TEST_F(PictureReaderTest, TransparencyIsCompositedOverTheBackground) {
  const std::vector<uint8_t> rgba = {200, 100, 50, 255, 200, 100, 50, 128, 200, 100, 50, 0};
  const std::string path =
      Write("alpha.png", EncodePng(rgba, 3, 1, SPNG_COLOR_TYPE_TRUECOLOR_ALPHA));
  EXPECT_EQ(Expect(ReadPicture(path)).rgb,
            (std::vector<uint8_t>{200, 100, 50, 227, 177, 152, 255, 255, 255}));
  EXPECT_EQ(Expect(ReadPicture(path, {0, 0, 100})).rgb,
            (std::vector<uint8_t>{200, 100, 50, 100, 50, 75, 0, 0, 100}));
}

// The viewer's own BMP layout: bottom-up, blue-green-red, padded rows.
TEST_F(PictureReaderTest, BmpAsTheViewerWritesIt) {
  std::vector<uint8_t> bitmap(vexo::BitmapRowBytes(7) * 5);
  vexo::FlipToBitmap24(picture_.rgb, 7, 5, bitmap);
  const auto path = (folder_ / "a.bmp").string();
  ASSERT_TRUE(vexo::WriteBmpFile(path, 7, 5, bitmap));
  const RgbPicture read = Expect(ReadPicture(path));
  EXPECT_EQ(read.rgb, picture_.rgb);
}

TEST_F(PictureReaderTest, TopDownThirtyTwoBitBmp) {
  std::vector<uint8_t> bmp(54 + 4 * 7 * 5);
  const auto header = vexo::MakeBmpHeader(7, -5, 4 * 7 * 5);
  std::copy(header.begin(), header.end(), bmp.begin());
  bmp[28] = 32;
  for (size_t i = 0; i < 35; ++i) {
    bmp[54 + 4 * i] = picture_.rgb[3 * i + 2];
    bmp[54 + 4 * i + 1] = picture_.rgb[3 * i + 1];
    bmp[54 + 4 * i + 2] = picture_.rgb[3 * i];
  }
  EXPECT_EQ(Expect(ReadPicture(Write("top.bmp", bmp))).rgb, picture_.rgb);
}

// A 32-bit BMP with colour masks, by default red in the low byte and blue in
// the third.
constexpr std::array<uint8_t, 12> kRedLowMasks = {0xFF, 0, 0, 0, 0, 0xFF, 0, 0, 0, 0, 0xFF, 0};

std::vector<uint8_t> BitfieldsBmp(const RgbPicture& picture,
                                  const std::array<uint8_t, 12>& masks = kRedLowMasks) {
  constexpr size_t maskBytes = 12;
  const size_t pixels = static_cast<size_t>(picture.width) * picture.height;
  std::vector<uint8_t> bmp(54 + maskBytes + 4 * pixels);
  const auto header =
      vexo::MakeBmpHeader(picture.width, -picture.height, static_cast<uint32_t>(4 * pixels));
  std::copy(header.begin(), header.end(), bmp.begin());
  bmp[10] = static_cast<uint8_t>(54 + maskBytes);
  bmp[28] = 32;
  bmp[30] = 3;  // BI_BITFIELDS
  std::copy(masks.begin(), masks.end(), bmp.begin() + 54);
  for (size_t i = 0; i < pixels; ++i) {
    std::copy_n(&picture.rgb[3 * i], 3, &bmp[54 + maskBytes + 4 * i]);
  }
  return bmp;
}

TEST_F(PictureReaderTest, BitfieldsBmpIsReadThroughItsMasks) {
  EXPECT_EQ(Expect(ReadPicture(Write("masks.bmp", BitfieldsBmp(picture_)))).rgb, picture_.rgb);
}

TEST_F(PictureReaderTest, PpmWithComments) {
  const std::string header = "P6\n# made by hand\n7 5\n255\n";
  std::vector<uint8_t> ppm(header.begin(), header.end());
  ppm.insert(ppm.end(), picture_.rgb.begin(), picture_.rgb.end());
  EXPECT_EQ(Expect(ReadPicture(Write("a.ppm", ppm))).rgb, picture_.rgb);
}

struct BadFile {
  const char* name;
  std::vector<uint8_t> bytes;
  ErrorCode code;
};

// Test names carry the case name; the bytes would only clutter them.
void PrintTo(const BadFile& c, std::ostream* out) {
  *out << c.name;
}

class BadPictureTest : public PictureReaderTest, public ::testing::WithParamInterface<BadFile> {};

TEST_P(BadPictureTest, SaysWhatIsWrongWithWhichFile) {
  const std::string path = Write("bad", GetParam().bytes);
  const Result<RgbPicture> read = ReadPicture(path);
  ASSERT_FALSE(read);
  EXPECT_EQ(read.error().code, GetParam().code) << read.error().message;
  EXPECT_EQ(read.error().message.rfind(path + ": ", 0), 0u) << read.error().message;
}

std::vector<uint8_t> Bytes(const std::string& text) {
  return {text.begin(), text.end()};
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadPictureTest,
    ::testing::Values(
        BadFile{"Text", Bytes("hello world"), ErrorCode::kUnsupported},
        BadFile{"CutPpm", Bytes("P6 4 4 255\nabc"), ErrorCode::kDamaged},
        BadFile{"SixteenBitPpm", Bytes("P6 1 1 65535\nabcdef"), ErrorCode::kUnsupported},
        BadFile{"HugePpm", Bytes("P6 40000 1 255\nabc"), ErrorCode::kTooLarge},
        BadFile{"ShortBmp", Bytes("BM12345"), ErrorCode::kDamaged},
        BadFile{"DamagedPng", Bytes("\x89PNG\r\n\x1a\nxxxxxxxxxxxx"), ErrorCode::kDamaged},
        BadFile{"BitfieldsWithEmptyMasks",
                BitfieldsBmp(MakeTestPicture(PictureKind::kNoise, 2, 2), {}),
                ErrorCode::kUnsupported}),
    [](const auto& info) { return std::string(info.param.name); });

// Refused with the check's own error rather than an exception.
TEST(EncodeRequest, RefusesWhatTheFormatCannotHold) {
  const RgbPicture small = MakeTestPicture(PictureKind::kFlat, 4, 4);
  const struct {
    RgbPicture picture;
    EncodeOptions options;
    ErrorCode code;
  } refused[] = {{{32768, 1, std::vector<uint8_t>(3 * 32768), true}, {}, ErrorCode::kTooLarge},
                 {{2, 2, std::vector<uint8_t>(11), true}, {}, ErrorCode::kInvalidRequest},
                 {small, {VexoPath::kFast, VexoFamily::k101, 0}, ErrorCode::kInvalidRequest},
                 {small, {VexoPath::kTransform, VexoFamily::k201, 0}, ErrorCode::kInvalidRequest},
                 {small, {VexoPath::kPredictive, VexoFamily::k101, 3}, ErrorCode::kInvalidRequest},
                 {MakeTestPicture(PictureKind::kFlat, 33, 16),
                  {VexoPath::kFast, VexoFamily::k201, 0},
                  ErrorCode::kInvalidRequest}};
  for (const auto& [picture, options, code] : refused) {
    const Result<std::vector<uint8_t>> encoded = EncodeVexo(picture, options);
    ASSERT_FALSE(encoded);
    EXPECT_EQ(encoded.error().code, code);
    EXPECT_EQ(encoded.error().message, CheckEncodeOptions(picture, options).error().message);
  }
}

TEST(Quantisation, NearestToWhatTheViewerShows) {
  EXPECT_EQ(NearestRgb565(255, 255, 255), 0xFFFF);
  EXPECT_EQ(NearestRgb565(0, 0, 0), 0x0000);
  EXPECT_EQ(NearestRgb565(3, 1, 4), 0x0001);    // 4 rounds up to blue 1 (shown as 8)
  EXPECT_EQ(NearestRgb565(252, 2, 0), 0xF820);  // red saturates at 31, green 2 -> 1
}

}  // namespace
}  // namespace vexo::testing
