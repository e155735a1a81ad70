// JPEG pictures for the encoder, made here with libjpeg so that the reader
// is checked against known pixels.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

// jpeglib.h needs FILE and size_t declared before it.
// clang-format off
#include <jpeglib.h>
// clang-format on

#include "picture_reader.h"
#include "test_pictures.h"

namespace vexo::testing {
namespace {

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

TEST(JpegReader, ReadsPicturesThroughThePictureEntry) {
  const RgbPicture gradient = MakeTestPicture(PictureKind::kGradient, 21, 13);
  const Result<RgbPicture> read = DecodePicture(MakeJpeg(gradient), "gradient.jpg");
  ASSERT_TRUE(read) << read.error().message;
  const RgbPicture& picture = *read;
  EXPECT_EQ(picture.width, 21);
  EXPECT_EQ(picture.height, 13);
  ASSERT_EQ(picture.rgb.size(), gradient.rgb.size());
  // Quality 100 without subsampling loses no more than rounding.
  for (size_t i = 0; i < picture.rgb.size(); ++i) {
    ASSERT_LE(std::abs(picture.rgb[i] - gradient.rgb[i]), 4) << i;
  }
}

// Corrupt data is refused, not shown with grey filled in.
TEST(JpegReader, RefusesDamagedPicturesNamingTheFile) {
  const std::vector<uint8_t> jpeg = MakeJpeg(MakeTestPicture(PictureKind::kNoise, 64, 48));
  std::vector<uint8_t> scrambled = jpeg;
  for (size_t i = jpeg.size() / 2; i < jpeg.size() / 2 + 64; ++i) scrambled[i] ^= 0x5A;
  for (const auto& damaged :
       {std::vector<uint8_t>(jpeg.begin(), jpeg.begin() + 200),
        std::vector<uint8_t>(jpeg.begin(), jpeg.begin() + jpeg.size() / 2), scrambled}) {
    const Result<RgbPicture> read = DecodePicture(damaged, "photo.jpg");
    ASSERT_FALSE(read) << damaged.size();
    EXPECT_EQ(read.error().code, ErrorCode::kDamaged);
    EXPECT_EQ(read.error().message.rfind("photo.jpg: ", 0), 0u);
  }
}

}  // namespace
}  // namespace vexo::testing
