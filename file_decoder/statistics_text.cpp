#include "statistics_text.h"

#include <cstdio>

namespace vexo {
namespace {

template <typename... Args>
std::string Format(const char* format, Args... args) {
  char text[64];
  std::snprintf(text, sizeof text, format, args...);
  return text;
}

uint8_t LowByte(int32_t value) {
  return static_cast<uint8_t>(value);
}

// The part after the last folder separator; the whole path when it has none.
std::string FileNameOf(const std::string& path) {
  const size_t separator = path.find_last_of("/\\");
  return separator == std::string::npos ? path : path.substr(separator + 1);
}

bool IsTransformFamily(uint8_t version) {
  return version >= 100 && version < 200;
}

std::string QualityWord(uint8_t quality) {
  switch (quality) {
    case 0:
      return "HIGH(Lossless)";
    case 1:
      return "Medium";
    default:
      return "Low";
  }
}

}  // namespace

void UpdateStatisticsTexts(StatisticsTexts& texts, const DecodeStatistics& s) {
  const uint8_t version = LowByte(s.codecVersion);
  const bool pathOn = LowByte(s.pathFlag) != 0;
  const std::string depthSuffix = LowByte(s.depthFlag) == 1 ? "24b" : "";

  texts.fileName = FileNameOf(s.path);
  texts.imageSize = Format("%dx%dx", s.width, s.height) + depthSuffix;
  texts.decodeTime = s.timeText;
  if (IsTransformFamily(version)) {
    texts.decodeMode = pathOn ? "ARM9 DCT ON" : "ARM9 DCT OFF";
  } else if (version >= 200) {
    texts.decodeMode = pathOn ? "ARM7 FAST ON" : "ARM7 FAST OFF";
  }
  // The raw 24-bit size in 64 bits: large pictures overflow 32.
  const double rawBytes = 3.0 * static_cast<double>(s.width) * static_cast<double>(s.height);
  texts.compressionRatio = Format("x%.1f", rawBytes / static_cast<double>(s.fileSize));
  if (IsTransformFamily(version) && LowByte(s.pathFlag) == 1) {
    texts.quantiseValue = Format("%d", static_cast<int>(LowByte(s.quality)));
  } else {
    texts.quantiseValue = QualityWord(LowByte(s.quality));
  }
}

std::string FormatDecodeTime(int64_t ticks, double frequency) {
  return Format("%.7f", static_cast<double>(ticks) / frequency);
}

}  // namespace vexo
