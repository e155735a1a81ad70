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

// A JPEG of `picture` at the best quality without chroma subsampling, or,
// with `gray`, of its red channel alone.
std::vector<uint8_t> MakeJpeg(const RgbPicture& picture, bool gray = false) {
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = static_cast<JDIMENSION>(picture.width);
  info.image_height = static_cast<JDIMENSION>(picture.height);
  info.input_components = gray ? 1 : 3;
  info.in_color_space = gray ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 100, TRUE);
  for (int c = 0; c < info.num_components; ++c) {
    info.comp_info[c].h_samp_factor = info.comp_info[c].v_samp_factor = 1;
  }
  jpeg_start_compress(&info, TRUE);
  std::vector<uint8_t> row(3 * static_cast<size_t>(picture.width));
  for (int32_t y = 0; y < picture.height; ++y) {
    const uint8_t* source = &picture.rgb[3 * static_cast<size_t>(y * picture.width)];
    for (int32_t x = 0; x < picture.width * (gray ? 1 : 3); ++x) {
      row[static_cast<size_t>(x)] = gray ? source[3 * x] : source[x];
    }
    JSAMPROW rows[] = {row.data()};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::vector<uint8_t> jpeg(buffer, buffer + size);
  std::free(buffer);
  return jpeg;
}

int LargestDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  int largest = 0;
  for (size_t i = 0; i < a.size() && i < b.size(); ++i)
    largest = std::max(largest, std::abs(a[i] - b[i]));
  return largest;
}

const RgbPicture kGradient = MakeTestPicture(PictureKind::kGradient, 21, 13);

TEST(JpegReader, ReadsColourPicturesThroughThePictureEntry) {
  const auto read = DecodePicture(MakeJpeg(kGradient), "gradient.jpg");
  ASSERT_TRUE(std::holds_alternative<RgbPicture>(read)) << std::get<std::string>(read);
  const auto& picture = std::get<RgbPicture>(read);
  EXPECT_EQ(picture.width, 21);
  EXPECT_EQ(picture.height, 13);
  EXPECT_TRUE(picture.from24BitSource);
  ASSERT_EQ(picture.rgb.size(), kGradient.rgb.size());
  // Quality 100 without subsampling loses no more than rounding.
  EXPECT_LE(LargestDifference(picture.rgb, kGradient.rgb), 4);
}

TEST(JpegReader, GrayPicturesBecomeEqualChannels) {
  const auto picture = std::get<RgbPicture>(DecodePicture(MakeJpeg(kGradient, true), "gray.jpg"));
  EXPECT_FALSE(picture.from24BitSource);
  for (size_t i = 0; i < picture.rgb.size(); i += 3) {
    ASSERT_EQ(picture.rgb[i], picture.rgb[i + 1]);
    ASSERT_EQ(picture.rgb[i], picture.rgb[i + 2]);
    ASSERT_LE(std::abs(picture.rgb[i] - kGradient.rgb[i]), 4) << i;
  }
}

const std::vector<uint8_t> kNoiseJpeg = MakeJpeg(MakeTestPicture(PictureKind::kNoise, 64, 48));

std::vector<uint8_t> CutTo(size_t size) {
  return {kNoiseJpeg.begin(), kNoiseJpeg.begin() + static_cast<std::ptrdiff_t>(size)};
}

std::vector<uint8_t> ScrambledInTheMiddle() {
  std::vector<uint8_t> jpeg = kNoiseJpeg;
  for (size_t i = jpeg.size() / 2; i < jpeg.size() / 2 + 64; ++i) jpeg[i] ^= 0x5A;
  return jpeg;
}

struct DamagedJpeg {
  const char* name;
  std::vector<uint8_t> bytes;
};

void PrintTo(const DamagedJpeg& c, std::ostream* out) {
  *out << c.name;
}

class DamagedJpegTest : public ::testing::TestWithParam<DamagedJpeg> {};

// Corrupt data is refused, not shown with grey filled in.
TEST_P(DamagedJpegTest, IsRefusedWithTheFilesName) {
  const auto read = DecodePicture(GetParam().bytes, "photo.jpg");
  ASSERT_TRUE(std::holds_alternative<std::string>(read));
  EXPECT_EQ(std::get<std::string>(read).rfind("photo.jpg: not a readable JPEG picture (", 0), 0u)
      << std::get<std::string>(read);
}

INSTANTIATE_TEST_SUITE_P(Cases, DamagedJpegTest,
                         ::testing::Values(DamagedJpeg{"JustTheStart", CutTo(3)},
                                           DamagedJpeg{"CutInTheHeader", CutTo(200)},
                                           DamagedJpeg{"CutInThePixels",
                                                       CutTo(kNoiseJpeg.size() / 2)},
                                           DamagedJpeg{"Scrambled", ScrambledInTheMiddle()}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vexo::testing
