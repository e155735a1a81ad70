// vexo decode: the viewer's file decode, its statistics, and a BMP file.
#include <ostream>

#include "bmp_file.h"
#include "commands.h"
#include "file_decoder.h"
#include "statistics_text.h"

namespace vexo_cli {
namespace {

void PrintStatistics(const orvane::StatisticsTexts& texts, std::ostream& out) {
  out << "File Name: " << texts.fileName << "\n"
      << "Image Size: " << texts.imageSize << "\n"
      << "Comp Ratio: " << texts.compressionRatio << "\n"
      << "Dec Time: " << texts.decodeTime << "\n"
      << "Decode Mode: " << texts.decodeMode << "\n"
      << "Quantize Value: " << texts.quantiseValue << "\n";
}

}  // namespace

int RunDecode(const DecodeOptions& options, std::ostream& out, std::ostream& err) {
  orvane::VexoFileDecoder decoder;
  const orvane::FileDecodeOutcome outcome = decoder.Decode(options.input);
  if (outcome.status != orvane::FileDecodeStatus::kOk) {
    const std::string_view text = orvane::FailureText(outcome.status);
    err << (text.empty() ? outcome.detail : options.input + ": " + std::string(text)) << "\n";
    return 1;
  }
  orvane::StatisticsTexts texts;
  orvane::UpdateStatisticsTexts(texts, decoder.Statistics());
  PrintStatistics(texts, out);

  const std::string bmpPath =
      options.output.empty() ? orvane::BmpFileNameFor(options.input) : options.output;
  const std::string failure =
      orvane::WriteBmpFile(bmpPath, decoder.ImageWidth(), decoder.ImageHeight(), decoder.Bitmap());
  if (!failure.empty()) {
    err << failure << "\n";
    return 1;
  }
  out << "BMP File: " << bmpPath << "\n";
  return 0;
}

}  // namespace vexo_cli
