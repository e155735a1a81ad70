#include "file_decoder.h"

#include <gtest/gtest.h>

#include <vector>

#include "example_files.h"
#include "statistics_text.h"
#include "temp_folder_test.h"

namespace vexo {
namespace {

using namespace vexo::testing;

const std::vector<uint8_t> kHandChecked = vexo::testing::HandCheckedFile();

class FileDecoderTest : public vexo::testing::TempFolderTest {
 protected:
  FileDecoder decoder_;
};

TEST_F(FileDecoderTest, DecodesConvertsAndReportsTheStatistics) {
  const std::string path = Write("example.vxo", kHandChecked);
  ASSERT_EQ(decoder_.Decode(path).status, FileDecodeStatus::kOk);
  EXPECT_EQ(decoder_.ImageWidth(), 4);
  EXPECT_EQ(decoder_.ImageHeight(), 2);
  EXPECT_EQ(decoder_.DecodeResult(), 24);
  // Bottom row first: 0xF021, 0xF021, 0xF041, 0x001F in blue-green-red.
  const std::vector<uint8_t> bottomRow = {8, 4, 240, 8, 4, 240, 8, 8, 240, 248, 0, 0};
  ASSERT_EQ(decoder_.Bitmap().size(), 24u);
  EXPECT_TRUE(std::equal(bottomRow.begin(), bottomRow.end(), decoder_.Bitmap().begin()));
  const DecodeStatistics& statistics = decoder_.Statistics();
  EXPECT_EQ(statistics.path, path);
  EXPECT_EQ(statistics.fileSize, 24);
}

// Each with the fixed text and the report that names the file and what was
// wrong, as the user sees them; the previous picture stays on show.
TEST_F(FileDecoderTest, RefusedFilesSayWhyAndKeepThePreviousPicture) {
  using enum FileDecodeStatus;
  const char* const damaged = "The VEXO file is damaged";
  const struct {
    const char* name;
    std::vector<uint8_t> bytes;
    FileDecodeStatus status;
    const char* text;
    std::string report;
  } files[] = {
      {"shorter than the magic",
       {'V', 'E'},
       kNotVexo,
       "This is not the VEXO file",
       "the file does not begin with \"VEXO\""},
      {"version 102", WithByte(kHandChecked, 11, 102), kWrongVersion, "Incorrect Decoder Version",
       "the file has version 102; this decoder knows 101 and 201"},
      {"cut header",
       {kHandChecked.begin(), kHandChecked.begin() + 9},
       kDamaged,
       damaged,
       "the file ends within its 12-byte header"},
      {"zero width", WithByte(kHandChecked, 4, 0), kDamaged, damaged,
       "the width, 0, is not from 1 to 32767"},
      {"stream cut short",
       {kHandChecked.begin(), kHandChecked.begin() + 22},
       kDamaged,
       damaged,
       "the file is truncated"},
      {"huge picture, tiny file", HugePictureInATinyFile(), kDamaged, damaged,
       "the file is truncated: 40 bytes cannot code a 32767 x 32767 picture"}};
  const std::string good = Write("good.vxo", kHandChecked);
  for (const auto& [name, bytes, status, text, report] : files) {
    ASSERT_EQ(decoder_.Decode(good).status, FileDecodeStatus::kOk);
    const std::string bad = Write("bad.vxo", bytes);
    const FileDecodeOutcome outcome = decoder_.Decode(bad);
    EXPECT_EQ(outcome.status, status) << name;
    EXPECT_EQ(FailureText(outcome.status), text) << name;
    EXPECT_EQ(FailureReport(bad, outcome), "bad.vxo: " + report) << name;
    EXPECT_EQ(decoder_.ImageWidth(), 4) << name;
    EXPECT_EQ(decoder_.Bitmap().size(), 24u) << name;
    EXPECT_EQ(decoder_.Statistics().path, good) << name;
  }
}

// Lossless, a transform quality and a fast quality, and only the low byte of
// each header value counting: image size, decode mode and quality texts.
TEST(Statistics, FormatsEveryField) {
  const struct {
    int32_t depthFlag, pathFlag, quality, codecVersion;
    const char *imageSize, *decodeMode, *quantiseValue;
  } cases[] = {{1, 0, 0, 101, "352x288x24b", "ARM9 DCT OFF", "HIGH(Lossless)"},
               {1, 1, 37, 101, "352x288x24b", "ARM9 DCT ON", "37"},
               {0, 1, 1, 201, "352x288x", "ARM7 FAST ON", "Medium"},
               {0x101, 0x100, 0x125, 0x165, "352x288x24b", "ARM9 DCT OFF", "Low"}};
  StatisticsTexts texts;
  for (const auto& c : cases) {
    UpdateStatisticsTexts(texts, {"/pictures/dog.vxo", 30412, 352, 288, c.depthFlag, c.pathFlag,
                                  c.quality, c.codecVersion, "0.0123456"});
    EXPECT_EQ(texts.fileName, "dog.vxo");
    EXPECT_EQ(texts.imageSize, c.imageSize);
    EXPECT_EQ(texts.decodeMode, c.decodeMode);
    EXPECT_EQ(texts.quantiseValue, c.quantiseValue) << c.quantiseValue;
  }
  // An unknown family keeps the mode shown; the largest picture's ratio does
  // not overflow.
  UpdateStatisticsTexts(texts, {"big.vxo", 1000000, 32767, 32767, 0, 1, 0, 99, ""});
  EXPECT_EQ(texts.decodeMode, "ARM9 DCT OFF");
  EXPECT_EQ(texts.compressionRatio, "x3221.0");
  EXPECT_EQ(FormatDecodeTime(12345600, 1e9), "0.0123456");
}

}  // namespace
}  // namespace vexo
