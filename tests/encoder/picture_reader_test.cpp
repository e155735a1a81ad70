// Reading the pictures the encoder starts from: PNG with transparency, masked
// BMP, PPM and JPEG, and refusing damaged or hostile files with the reason.
#include "picture_reader.h"

#include <gtest/gtest.h>
#include <spng.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>

// jpeglib.h needs FILE and size_t declared before it.
// clang-format off
#include <jpeglib.h>
// clang-format on

#include "bmp_file.h"
#include "temp_folder_test.h"
#include "test_pictures.h"

namespace vexo::testing {
namespace {

using PictureReaderTest = vexo::testing::TempFolderTest;

// One row of 8-bit red, green, blue and alpha.
std::vector<uint8_t> RgbaPngRow(std::span<const uint8_t> pixels) {
  spng_ctx* context = spng_ctx_new(SPNG_CTX_ENCODER);
  spng_set_option(context, SPNG_ENCODE_TO_BUFFER, 1);
  spng_ihdr header{
      static_cast<uint32_t>(pixels.size() / 4), 1, 8, SPNG_COLOR_TYPE_TRUECOLOR_ALPHA, 0, 0, 0};
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

RgbPicture Expect(const Result<RgbPicture>& read) {
  if (read) return *read;
  ADD_FAILURE() << read.error().message;
  return {};
}

// A top-down 32-bit BMP with colour masks, red in the low byte and blue in
// the third, so that a reader ignoring the masks swaps the channels.
std::vector<uint8_t> BitfieldsBmp(const RgbPicture& picture) {
  constexpr size_t maskBytes = 12;
  const size_t pixels = static_cast<size_t>(picture.width) * picture.height;
  std::vector<uint8_t> bmp(54 + maskBytes + 4 * pixels);
  const auto header =
      vexo::MakeBmpHeader(picture.width, -picture.height, static_cast<uint32_t>(4 * pixels));
  std::copy(header.begin(), header.end(), bmp.begin());
  bmp[10] = static_cast<uint8_t>(54 + maskBytes);
  bmp[28] = 32;
  bmp[30] = 3;  // BI_BITFIELDS
  bmp[54] = bmp[59] = bmp[64] = 0xFF;
  for (size_t i = 0; i < pixels; ++i) {
    std::copy_n(&picture.rgb[3 * i], 3, &bmp[54 + maskBytes + 4 * i]);
  }
  return bmp;
}

// The masks and a comment in the header are honoured.
TEST_F(PictureReaderTest, MaskedBmpAndCommentedPpm) {
  const RgbPicture picture = MakeTestPicture(PictureKind::kNoise, 7, 5);
  const std::string ppmHeader = "P6\n# made by hand\n7 5\n255\n";
  std::vector<uint8_t> ppm(ppmHeader.begin(), ppmHeader.end());
  ppm.insert(ppm.end(), picture.rgb.begin(), picture.rgb.end());
  for (const std::string& path : {Write("masks.bmp", BitfieldsBmp(picture)), Write("a.ppm", ppm)}) {
    const RgbPicture read = Expect(ReadPicture(path));
    EXPECT_EQ(read.width, 7) << path;
    EXPECT_EQ(read.rgb, picture.rgb) << path;
  }
}

// A JPEG at the best quality without chroma subsampling.
std::vector<uint8_t> MakeJpeg(const RgbPicture& picture) {
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = static_cast<JDIMENSION>(picture.width);
  info.image_height = static_cast<JDIMENSION>(picture.height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 100, TRUE);
  info.comp_info[0].h_samp_factor = info.comp_info[0].v_samp_factor = 1;
  jpeg_start_compress(&info, TRUE);
  for (int32_t y = 0; y < picture.height; ++y) {
    JSAMPROW row = const_cast<uint8_t*>(&picture.rgb[3 * static_cast<size_t>(y * picture.width)]);
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::vector<uint8_t> jpeg(buffer, buffer + size);
  std::free(buffer);
  return jpeg;
}

TEST_F(PictureReaderTest, JpegAtTheBestQualityLosesOnlyRounding) {
  const RgbPicture gradient = MakeTestPicture(PictureKind::kGradient, 21, 13);
  const RgbPicture read = Expect(ReadPicture(Write("gradient.jpg", MakeJpeg(gradient))));
  EXPECT_EQ(read.width, 21);
  ASSERT_EQ(read.rgb.size(), gradient.rgb.size());
  for (size_t i = 0; i < read.rgb.size(); ++i) {
    ASSERT_LE(std::abs(read.rgb[i] - gradient.rgb[i]), 4) << i;
  }
}

// Opaque, half-transparent and transparent pixels over white and over another colour.
TEST_F(PictureReaderTest, TransparencyIsCompositedOverTheBackground) {
  const std::vector<uint8_t> rgba = {200, 100, 50, 255, 200, 100, 50, 128, 200, 100, 50, 0};
  const std::string path = Write("alpha.png", RgbaPngRow(rgba));
  EXPECT_EQ(Expect(ReadPicture(path)).rgb,
            (std::vector<uint8_t>{200, 100, 50, 227, 177, 152, 255, 255, 255}));
  EXPECT_EQ(Expect(ReadPicture(path, {0, 0, 100})).rgb,
            (std::vector<uint8_t>{200, 100, 50, 100, 50, 75, 0, 0, 100}));
}

std::vector<uint8_t> Bytes(const std::string& text) {
  return {text.begin(), text.end()};
}

// Each refused with the kind of fault and a message that starts with the path.
// A damaged JPEG is refused, not shown with grey filled in.
TEST_F(PictureReaderTest, DamagedOrHostileFilesSayWhatIsWrongWithWhichFile) {
  const std::vector<uint8_t> jpeg = MakeJpeg(MakeTestPicture(PictureKind::kNoise, 64, 48));
  std::vector<uint8_t> scrambledJpeg = jpeg,
                       noMasks = BitfieldsBmp(MakeTestPicture(PictureKind::kNoise, 2, 2));
  std::fill_n(noMasks.begin() + 54, 12, 0);
  for (size_t i = jpeg.size() / 2; i < jpeg.size() / 2 + 64; ++i) scrambledJpeg[i] ^= 0x5A;
  const struct {
    const char* name;
    std::vector<uint8_t> bytes;
    ErrorCode code;
  } files[] = {{"text", Bytes("hello world"), ErrorCode::kUnsupported},
               {"cut.ppm", Bytes("P6 4 4 255\nabc"), ErrorCode::kDamaged},
               {"deep.ppm", Bytes("P6 1 1 65535\nabcdef"), ErrorCode::kUnsupported},
               {"huge.ppm", Bytes("P6 40000 1 255\nabc"), ErrorCode::kTooLarge},
               {"short.bmp", Bytes("BM12345"), ErrorCode::kDamaged},
               {"no-masks.bmp", noMasks, ErrorCode::kUnsupported},
               {"damaged.png", Bytes("\x89PNG\r\n\x1a\nxxxxxxxxxxxx"), ErrorCode::kDamaged},
               {"header.jpg", {jpeg.begin(), jpeg.begin() + 200}, ErrorCode::kDamaged},
               {"half.jpg", {jpeg.begin(), jpeg.begin() + jpeg.size() / 2}, ErrorCode::kDamaged},
               {"scrambled.jpg", scrambledJpeg, ErrorCode::kDamaged}};
  for (const auto& [name, bytes, code] : files) {
    const std::string path = Write(name, bytes);
    const Result<RgbPicture> read = ReadPicture(path);
    ASSERT_FALSE(read) << name;
    EXPECT_EQ(read.error().code, code) << read.error().message;
    EXPECT_EQ(read.error().message.rfind(path + ": ", 0), 0u) << read.error().message;
  }
}

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
