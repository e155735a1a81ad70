#include "file_decoder.h"

#include <gtest/gtest.h>

#include <vector>

#include "example_files.h"
#include "temp_folder_test.h"

namespace vexo {
namespace {

using vexo::testing::HugePictureInATinyFile;
using vexo::testing::WithByte;

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
  EXPECT_EQ(statistics.codecVersion, 101);
  EXPECT_EQ(statistics.timeText.size(), 9u);  // "0.0000123"
}

std::vector<uint8_t> Prefix(size_t length) {
  return {kHandChecked.begin(), kHandChecked.begin() + static_cast<ptrdiff_t>(length)};
}

struct FailureCase {
  const char* name;
  std::vector<uint8_t> bytes;
  FileDecodeStatus status;
  const char* text;
};

// Test names carry the case name; the bytes would only clutter them.
void PrintTo(const FailureCase& c, std::ostream* out) {
  *out << c.name;
}

class FileDecoderFailureTest : public FileDecoderTest,
                               public ::testing::WithParamInterface<FailureCase> {};

TEST_P(FileDecoderFailureTest, ReportsTheUserFacingTextAndKeepsThePreviousPicture) {
  ASSERT_EQ(decoder_.Decode(Write("good.vxo", kHandChecked)).status, FileDecodeStatus::kOk);
  const FileDecodeOutcome outcome = decoder_.Decode(Write("bad.vxo", GetParam().bytes));
  EXPECT_EQ(outcome.status, GetParam().status);
  EXPECT_EQ(FailureText(outcome.status), GetParam().text);
  EXPECT_EQ(decoder_.ImageWidth(), 4);
  EXPECT_EQ(decoder_.Bitmap().size(), 24u);
  EXPECT_NE(decoder_.Statistics().path.find("good.vxo"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Files, FileDecoderFailureTest,
    ::testing::Values(FailureCase{"NotVexo",
                                  {'B', 'M', 'P', '!', 0, 0, 0, 0, 0, 0, 0, 0},
                                  FileDecodeStatus::kNotVexo,
                                  "This is not the VEXO file"},
                      FailureCase{"ShorterThanMagic",
                                  {'V', 'E'},
                                  FileDecodeStatus::kNotVexo,
                                  "This is not the VEXO file"},
                      FailureCase{"Version102", WithByte(kHandChecked, 11, 102),
                                  FileDecodeStatus::kWrongVersion, "Incorrect Decoder Version"},
                      FailureCase{"ShorterThanHeader", Prefix(9), FileDecodeStatus::kDamaged,
                                  "The VEXO file is damaged"},
                      FailureCase{"ZeroWidth", WithByte(kHandChecked, 4, 0),
                                  FileDecodeStatus::kDamaged, "The VEXO file is damaged"},
                      FailureCase{"NegativeHeight", WithByte(kHandChecked, 7, 0x80),
                                  FileDecodeStatus::kDamaged, "The VEXO file is damaged"},
                      FailureCase{"StreamCutShort", Prefix(22), FileDecodeStatus::kDamaged,
                                  "The VEXO file is damaged"},
                      FailureCase{"HugePictureTinyFile", HugePictureInATinyFile(),
                                  FileDecodeStatus::kDamaged, "The VEXO file is damaged"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FileDecoderTest, MissingFileOrFolderSaysWhy) {
  const FileDecodeOutcome missing = decoder_.Decode((folder_ / "none.vxo").string());
  EXPECT_EQ(missing.status, FileDecodeStatus::kCannotOpen);
  EXPECT_NE(missing.detail.find("none.vxo: No such file"), std::string::npos) << missing.detail;
  const FileDecodeOutcome folder = decoder_.Decode(folder_.string());
  EXPECT_EQ(folder.status, FileDecodeStatus::kCannotOpen);
  EXPECT_NE(folder.detail.find("Is a directory"), std::string::npos) << folder.detail;
}

}  // namespace
}  // namespace vexo
