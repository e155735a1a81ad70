// BMP, PNG and PPM output of decoded pictures, the conversions to the BMP
// layout, and the in-memory decode that the image plugin uses: the same
// pixels however they are written or read.
#include "picture_output.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "bmp_file.h"
#include "bytes_decoder.h"
#include "example_files.h"
#include "file_decoder.h"
#include "picture_reader.h"
#include "pixel_conversion.h"
#include "plain_conversion.h"
#include "temp_folder_test.h"

namespace vexo {
namespace {

using testing::FlipToBitmap24;

class PictureOutputTest : public vexo::testing::TempFolderTest,
                          public ::testing::WithParamInterface<const char*> {};

// One sample of each coding path, written in every format and read back.
TEST_P(PictureOutputTest, EveryFormatHoldsTheBmpPixels) {
  const std::string path = std::string(VEXO_SAMPLES_DIR "/") + GetParam();
  FileDecoder decoder;
  ASSERT_EQ(decoder.Decode(path).status, FileDecodeStatus::kOk);
  std::vector<uint8_t> expected(decoder.Image565().size() * 3);
  ExpandRgb565(decoder.Image565(), expected);
  for (const auto format : {OutputFormat::kBmp, OutputFormat::kPng, OutputFormat::kPpm}) {
    const auto output = (folder_ / "out").replace_extension(OutputFormatExtension(format));
    ASSERT_TRUE(WriteOutputFile(output, format, decoder.ImageWidth(), decoder.ImageHeight(),
                                decoder.Image565()));
    const Result<RgbPicture> read = ReadPicture(output);
    ASSERT_TRUE(read) << read.error().message;
    EXPECT_EQ(read->width, decoder.ImageWidth());
    EXPECT_TRUE(read->rgb == expected) << output;
  }
  std::ifstream file(path, std::ios::binary);
  const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
  EXPECT_TRUE(std::ranges::equal(DecodeVexoBytes(bytes).image565, decoder.Image565()));
}

INSTANTIATE_TEST_SUITE_P(Samples, PictureOutputTest,
                         ::testing::Values("cat-176x144-predictive-101.vxo",
                                           "cat-352x288-fast-201.vxo",
                                           "coffee-352x288-transform-101-q24.vxo"));

TEST_F(PictureOutputTest, ReplacesWholeOrFailsNamingTheFileAndLeavesNothingElse) {
  const auto ppm = EncodeOutputFile(OutputFormat::kPpm, 1, 1, std::vector<uint16_t>{0xFFFF});
  EXPECT_EQ(std::string(ppm->begin(), ppm->end()), "P6\n1 1\n255\n\xF8\xFC\xF8");

  const auto path = (folder_ / "a.png").string();
  std::ofstream(path) << "an older file";
  ASSERT_TRUE(WriteOutputFile(path, OutputFormat::kPng, 2, 1, std::vector<uint16_t>{1, 2}));
  EXPECT_EQ(ReadPicture(path)->width, 2);
  const auto missing = (folder_ / "missing" / "a.png").string();
  EXPECT_EQ(
      WriteOutputFile(missing, OutputFormat::kPng, 1, 1, std::vector<uint16_t>{0}).error().message,
      "Cannot write " + missing + ": No such file or directory");
  EXPECT_FALSE(WriteOutputFile(folder_, OutputFormat::kBmp, 1, 1, std::vector<uint16_t>{0}));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_), {}), 1);
}

TEST(OutputNames, FormatsByNameOrExtensionAndBmpNamesForVexoFiles) {
  EXPECT_EQ(OutputFormatNamed("PNG"), OutputFormat::kPng);
  EXPECT_EQ(OutputFormatOfPath("/a/b.c/cat.Bmp"), OutputFormat::kBmp);
  EXPECT_EQ(OutputFormatOfPath("/a/b.png/cat"), std::nullopt);
  EXPECT_EQ(BmpFileNameFor("/pics/a.b.vxo"), "/pics/a.b1.bmp");
  EXPECT_EQ(BmpFileNameFor("D:\\pics\\cat.VXO"), "D:\\pics\\cat1.bmp");
  EXPECT_EQ(BmpFileNameFor("cat.png"), "cat.png1.bmp");
  EXPECT_EQ(BmpFileNameFor(".vxo"), "1.bmp");
}

// The in-memory decode refuses a picture larger than its bytes can hold.
TEST(DecodeFromMemory, RefusesAHugePictureInATinyFile) {
  EXPECT_EQ(DecodeVexoBytes(vexo::testing::HugePictureInATinyFile()).status,
            FileDecodeStatus::kDamaged);
}

TEST(FlipToBitmap24, BottomRowFirstInBlueGreenRedWithZeroPadding) {
  // 2 x 2: top row red, white; bottom row green, blue.
  const std::vector<uint8_t> rgb = {1, 2, 3, 4,  5,  6,  //
                                    7, 8, 9, 10, 11, 12};
  std::vector<uint8_t> bitmap(16, 0xAA);
  EXPECT_EQ(FlipToBitmap24(rgb, 2, 2, bitmap), 16u);
  const std::vector<uint8_t> expected = {9, 8, 7, 12, 11, 10, 0, 0,  //
                                         3, 2, 1, 6,  5,  4,  0, 0};
  EXPECT_EQ(bitmap, expected);
}

// The one-pass conversion gives the bytes of the two passes, padding included,
// and writes nothing past the image byte count.
TEST(Rgb565ToBitmap24, SameBytesAsExpandThenFlip) {
  std::mt19937 random(11);
  for (const auto& [width, height] : {std::pair{1, 1}, {2, 3}, {3, 2}, {17, 5}, {33, 4}, {70, 3}}) {
    const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);
    std::vector<uint16_t> image565(pixels);
    for (uint16_t& pixel : image565) pixel = static_cast<uint16_t>(random());
    std::vector<uint8_t> rgb(3 * pixels);
    ExpandRgb565(image565, rgb);
    const size_t bytes = BitmapRowBytes(width) * static_cast<size_t>(height);
    std::vector<uint8_t> expected(bytes, 0xAA);
    FlipToBitmap24(rgb, width, height, expected);

    std::vector<uint8_t> bitmap(bytes + 8, 0xAA);
    EXPECT_EQ(Rgb565ToBitmap24(image565, width, height, bitmap), bytes);
    EXPECT_EQ(std::vector<uint8_t>(bitmap.begin(), bitmap.begin() + bytes), expected)
        << width << " x " << height;
    EXPECT_EQ(std::vector<uint8_t>(bitmap.begin() + bytes, bitmap.end()),
              std::vector<uint8_t>(8, 0xAA));
  }
}

}  // namespace
}  // namespace vexo
