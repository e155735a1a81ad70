// BMP, PNG and PPM output of decoded pictures, and the in-memory decode that
// the image plugin uses: the same pixels however they are written or read.
#include "picture_output.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "bytes_decoder.h"
#include "example_files.h"
#include "file_decoder.h"
#include "picture_reader.h"
#include "pixel_conversion.h"
#include "temp_folder_test.h"

namespace vexo {
namespace {

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
                                           "coffee-352x288-transform-101-q24.vxo"),
                         [](const auto& info) { return std::to_string(info.index); });

TEST_F(PictureOutputTest, ReplacesWholeOrFailsNamingTheFileAndLeavesNothingElse) {
  const auto ppm = EncodeOutputFile(OutputFormat::kPpm, 1, 1, std::vector<uint16_t>{0xFFFF});
  EXPECT_EQ(std::string(ppm->begin(), ppm->end()), "P6\n1 1\n255\n\xF8\xFC\xF8");
  EXPECT_EQ(EncodeOutputFile(OutputFormat::kPng, 2, 1, std::vector<uint16_t>{0}).error().code,
            ErrorCode::kInvalidRequest);

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

TEST(OutputFormatChoice, ByNameAndByExtension) {
  EXPECT_EQ(OutputFormatNamed("PNG"), OutputFormat::kPng);
  EXPECT_EQ(OutputFormatNamed("jpg"), std::nullopt);
  EXPECT_EQ(OutputFormatOfPath("/a/b.c/cat.Bmp"), OutputFormat::kBmp);
  EXPECT_EQ(OutputFormatOfPath("cat.ppm"), OutputFormat::kPpm);
  EXPECT_EQ(OutputFormatOfPath("/a/b.png/cat"), std::nullopt);
  EXPECT_EQ(OutputFormatOfPath("-"), std::nullopt);
}

TEST(DecodeFromMemory, GivesTheFileDecodesVerdicts) {
  using vexo::testing::WithByte;
  const std::vector<uint8_t> example = vexo::testing::HandCheckedFile();
  const std::vector<uint8_t> cut(example.begin(), example.end() - 4);
  EXPECT_EQ(DecodeVexoBytes(WithByte(example, 3, 'X')).status, FileDecodeStatus::kNotVexo);
  EXPECT_EQ(DecodeVexoBytes(WithByte(example, 11, 102)).status, FileDecodeStatus::kWrongVersion);
  EXPECT_EQ(DecodeVexoBytes(cut).status, FileDecodeStatus::kDamaged);
  EXPECT_EQ(DecodeVexoBytes(vexo::testing::HugePictureInATinyFile()).status,
            FileDecodeStatus::kDamaged);
}

}  // namespace
}  // namespace vexo
