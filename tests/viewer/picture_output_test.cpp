// BMP, PNG and PPM output of decoded pictures, and the in-memory decode that
// the image plugin uses: the same pixels however they are written or read.
#include "picture_output.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "bmp_file.h"
#include "bytes_decoder.h"
#include "example_files.h"
#include "file_decoder.h"
#include "picture_reader.h"
#include "pixel_conversion.h"
#include "temp_folder_test.h"

namespace orvane {
namespace {

// One sample of each coding path.
const char* const kSamples[] = {"cat-176x144-predictive-101.vxo", "cat-352x288-fast-201.vxo",
                                "coffee-352x288-transform-101-q24.vxo"};

std::vector<uint8_t> ReadAll(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::vector<uint8_t> Expanded(std::span<const uint16_t> image565) {
  std::vector<uint8_t> rgb(image565.size() * 3);
  ExpandRgb565(image565, rgb);
  return rgb;
}

class PictureOutputTest : public vexo::testing::TempFolderTest,
                          public ::testing::WithParamInterface<const char*> {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    const auto outcome = decoder_.Decode(std::string(VEXO_SAMPLES_DIR "/") + GetParam());
    ASSERT_EQ(outcome.status, FileDecodeStatus::kOk) << outcome.detail;
  }

  std::string WriteAs(OutputFormat format) {
    const auto path = (folder_ / ("out" + std::string(OutputFormatExtension(format)))).string();
    EXPECT_EQ(WriteOutputFile(path, format, decoder_.ImageWidth(), decoder_.ImageHeight(),
                              decoder_.Image565()),
              "");
    return path;
  }

  VexoFileDecoder decoder_;
};

TEST_P(PictureOutputTest, EveryFormatReadsBackAsTheBmpPixels) {
  const auto expected = Expanded(decoder_.Image565());
  for (const auto format : {OutputFormat::kBmp, OutputFormat::kPng, OutputFormat::kPpm}) {
    const PictureOrError read = ReadPicture(WriteAs(format));
    ASSERT_TRUE(std::holds_alternative<RgbPicture>(read)) << std::get<std::string>(read);
    const auto& picture = std::get<RgbPicture>(read);
    EXPECT_EQ(picture.width, decoder_.ImageWidth());
    EXPECT_EQ(picture.height, decoder_.ImageHeight());
    EXPECT_TRUE(picture.rgb == expected) << OutputFormatExtension(format);
  }
}

TEST_P(PictureOutputTest, BmpOutputIsTheViewersBmpFile) {
  const auto viewers = (folder_ / "viewer.bmp").string();
  ASSERT_EQ(WriteBmpFile(viewers, decoder_.ImageWidth(), decoder_.ImageHeight(), decoder_.Bitmap()),
            "");
  EXPECT_TRUE(ReadAll(WriteAs(OutputFormat::kBmp)) == ReadAll(viewers));
}

TEST_P(PictureOutputTest, DecodeFromMemoryGivesTheFileDecodesPixels) {
  const auto file = ReadAll(std::string(VEXO_SAMPLES_DIR "/") + GetParam());
  const DecodedVexoPicture picture = DecodeVexoBytes(file);
  ASSERT_EQ(picture.status, FileDecodeStatus::kOk);
  EXPECT_EQ(picture.width, decoder_.ImageWidth());
  EXPECT_EQ(picture.height, decoder_.ImageHeight());
  EXPECT_TRUE(std::ranges::equal(picture.image565, decoder_.Image565()));
}

INSTANTIATE_TEST_SUITE_P(Samples, PictureOutputTest, ::testing::ValuesIn(kSamples),
                         [](const auto& info) { return std::to_string(info.index); });

using OutputFileTest = vexo::testing::TempFolderTest;

TEST_F(OutputFileTest, WhiteIsWrittenWithTheLowBitsZero) {
  const std::vector<uint16_t> white = {0xFFFF};
  const auto ppm =
      std::get<std::vector<uint8_t>>(EncodeOutputFile(OutputFormat::kPpm, 1, 1, white));
  EXPECT_EQ(std::string(ppm.begin(), ppm.end()), "P6\n1 1\n255\n\xF8\xFC\xF8");
  const auto png =
      std::get<std::vector<uint8_t>>(EncodeOutputFile(OutputFormat::kPng, 1, 1, white));
  const auto read = std::get<RgbPicture>(DecodePicture(png, "white.png"));
  EXPECT_EQ(read.rgb, (std::vector<uint8_t>{248, 252, 248}));
}

TEST_F(OutputFileTest, ReplacesAnExistingFileAndLeavesNothingElse) {
  const auto path = (folder_ / "a.png").string();
  std::ofstream(path) << "an older file";
  ASSERT_EQ(WriteOutputFile(path, OutputFormat::kPng, 2, 1, std::vector<uint16_t>{1, 2}), "");
  EXPECT_EQ(ReadAll(path)[1], 'P');
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_), {}), 1);
}

TEST_F(OutputFileTest, FailuresNameTheFileAndLeaveNothingBehind) {
  const auto missing = (folder_ / "missing" / "a.png").string();
  EXPECT_EQ(WriteOutputFile(missing, OutputFormat::kPng, 1, 1, std::vector<uint16_t>{0}),
            "Cannot write " + missing + ": No such file or directory");
  const auto folder = folder_.string();
  EXPECT_NE(WriteOutputFile(folder, OutputFormat::kPpm, 1, 1, std::vector<uint16_t>{0}), "");
  EXPECT_TRUE(std::filesystem::is_empty(folder_));
  EXPECT_NE(WriteOutputFile(missing, OutputFormat::kBmp, 2, 2, std::vector<uint16_t>{0}), "");
}

TEST(OutputFormatChoice, ByNameAndByExtension) {
  EXPECT_EQ(OutputFormatNamed("PNG"), OutputFormat::kPng);
  EXPECT_EQ(OutputFormatNamed("ppm"), OutputFormat::kPpm);
  EXPECT_EQ(OutputFormatNamed("jpg"), std::nullopt);
  EXPECT_EQ(OutputFormatOfPath("/a/b.c/cat.Bmp"), OutputFormat::kBmp);
  EXPECT_EQ(OutputFormatOfPath("cat.png"), OutputFormat::kPng);
  EXPECT_EQ(OutputFormatOfPath("/a/b.png/cat"), std::nullopt);
  EXPECT_EQ(OutputFormatOfPath("cat.vxo"), std::nullopt);
  EXPECT_EQ(OutputFormatOfPath("-"), std::nullopt);
}

struct DamagedFile {
  const char* name;
  std::vector<uint8_t> bytes;
  FileDecodeStatus status;
};

void PrintTo(const DamagedFile& c, std::ostream* out) {
  *out << c.name;
}

class DecodeFromMemoryRefusal : public ::testing::TestWithParam<DamagedFile> {};

TEST_P(DecodeFromMemoryRefusal, GivesTheFileDecodesVerdict) {
  EXPECT_EQ(DecodeVexoBytes(GetParam().bytes).status, GetParam().status);
}

std::vector<uint8_t> Cut(std::vector<uint8_t> bytes, size_t size) {
  bytes.resize(size);
  return bytes;
}

const std::vector<uint8_t> kExample = vexo::testing::WorkedExampleFile();

INSTANTIATE_TEST_SUITE_P(
    Files, DecodeFromMemoryRefusal,
    ::testing::Values(DamagedFile{"Empty", {}, FileDecodeStatus::kNotVexo},
                      DamagedFile{"OtherMagic", vexo::testing::WithByte(kExample, 3, 'X'),
                                  FileDecodeStatus::kNotVexo},
                      DamagedFile{"Version102", vexo::testing::WithByte(kExample, 11, 102),
                                  FileDecodeStatus::kWrongVersion},
                      DamagedFile{"ShortHeader", Cut(kExample, 8), FileDecodeStatus::kDamaged},
                      DamagedFile{"CutData", Cut(kExample, 20), FileDecodeStatus::kDamaged},
                      DamagedFile{"WidthZero", vexo::testing::WithByte(kExample, 4, 0),
                                  FileDecodeStatus::kDamaged},
                      DamagedFile{"HugeHeaderTinyFile", vexo::testing::HugePictureInATinyFile(),
                                  FileDecodeStatus::kDamaged}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace orvane
