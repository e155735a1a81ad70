#include "statistics_text.h"

#include <gtest/gtest.h>

namespace vexo {
namespace {

struct StatisticsCase {
  int32_t depthFlag, pathFlag, quality, codecVersion;
  const char* imageSize;
  const char* decodeMode;
  const char* quantiseValue;
};

class StatisticsTest : public ::testing::TestWithParam<StatisticsCase> {};

TEST_P(StatisticsTest, FormatsEveryField) {
  const StatisticsCase& c = GetParam();
  StatisticsTexts texts;
  UpdateStatisticsTexts(texts, {"/pictures/dog.vxo", 30412, 352, 288, c.depthFlag, c.pathFlag,
                                c.quality, c.codecVersion, "0.0123456"});
  EXPECT_EQ(texts.fileName, "dog.vxo");
  EXPECT_EQ(texts.imageSize, c.imageSize);
  EXPECT_EQ(texts.compressionRatio, "x10.0");
  EXPECT_EQ(texts.decodeTime, "0.0123456");
  EXPECT_EQ(texts.decodeMode, c.decodeMode);
  EXPECT_EQ(texts.quantiseValue, c.quantiseValue);
}

INSTANTIATE_TEST_SUITE_P(
    Families, StatisticsTest,
    ::testing::Values(StatisticsCase{1, 0, 0, 101, "352x288x24b", "ARM9 DCT OFF", "HIGH(Lossless)"},
                      StatisticsCase{1, 1, 37, 101, "352x288x24b", "ARM9 DCT ON", "37"},
                      StatisticsCase{0, 2, 1, 101, "352x288x", "ARM9 DCT ON", "Medium"},
                      StatisticsCase{2, 0, 5, 101, "352x288x", "ARM9 DCT OFF", "Low"},
                      StatisticsCase{0, 1, 1, 201, "352x288x", "ARM7 FAST ON", "Medium"},
                      StatisticsCase{0, 0, 2, 201, "352x288x", "ARM7 FAST OFF", "Low"},
                      // Only the low byte of each header value counts.
                      StatisticsCase{0x101, 0x100, 0x125, 0x165, "352x288x24b", "ARM9 DCT OFF",
                                     "Low"}));

TEST(Statistics, UnknownFamilyKeepsThePreviousDecodeMode) {
  StatisticsTexts texts;
  texts.decodeMode = "ARM7 FAST ON";
  UpdateStatisticsTexts(texts, {"plain", 100, 10, 10, 0, 1, 0, 99, "0.0000001"});
  EXPECT_EQ(texts.decodeMode, "ARM7 FAST ON");
  EXPECT_EQ(texts.fileName, "plain");
  EXPECT_EQ(texts.compressionRatio, "x3.0");
  // The largest picture's ratio does not overflow.
  UpdateStatisticsTexts(texts, {"big.vxo", 1000000, 32767, 32767, 0, 0, 0, 101, ""});
  EXPECT_EQ(texts.compressionRatio, "x3221.0");
}

TEST(Statistics, DecodeTimeHasSevenDecimals) {
  EXPECT_EQ(FormatDecodeTime(2500, 10000), "0.2500000");
  EXPECT_EQ(FormatDecodeTime(12345600, 1e9), "0.0123456");
}

}  // namespace
}  // namespace vexo
