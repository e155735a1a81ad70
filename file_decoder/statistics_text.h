// The six texts of the statistics pane, made from the nine values a decode
// hands over.
#pragma once

#include <cstdint>
#include <string>

namespace vexo {

struct DecodeStatistics {
  std::string path;
  int64_t fileSize = 0;
  int32_t width = 0;
  int32_t height = 0;
  int32_t depthFlag = 0;  // header bytes; only the low 8 bits count
  int32_t pathFlag = 0;
  int32_t quality = 0;
  int32_t codecVersion = 0;
  std::string timeText;  // already formatted, see FormatDecodeTime
};

struct StatisticsTexts {
  std::string fileName;          // "File Name"
  std::string imageSize;         // "Image Size"
  std::string compressionRatio;  // "Comp Ratio"
  std::string decodeTime;        // "Dec Time"
  std::string decodeMode;        // "Decode Mode"
  std::string quantiseValue;     // "Quantize Value"
};

// Updates the texts for one decode. The decode mode of a version byte below
// 100 names no known family and leaves that text as it was.
void UpdateStatisticsTexts(StatisticsTexts& texts, const DecodeStatistics& statistics);

// Seconds with seven decimals ("%.7f") of ticks at frequency ticks a second.
std::string FormatDecodeTime(int64_t ticks, double frequency);

}  // namespace vexo
