// vexo decode: the viewer's file decode, its statistics, and a BMP file.
#include <new>
#include <ostream>

#include "bmp_file.h"
#include "commands.h"
#include "file_decoder.h"
#include "file_io/input_file.h"
#include "file_io/same_file.h"
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

// The fixed text of a failure, then what more the command line knows.
std::string FailureMessage(const std::string& input, const orvane::FileDecodeOutcome& outcome) {
  const std::string_view text = orvane::FailureText(outcome.status);
  if (text.empty()) return outcome.detail;
  std::string message = file_io::InputName(input) + ": " + std::string(text);
  if (!outcome.detail.empty()) message += " (" + outcome.detail + ")";
  return message;
}

int Decode(const DecodeOptions& options, std::ostream& out, std::ostream& err) {
  const bool fromStandardInput = options.input == file_io::kStandardStream;
  const std::string bmpPath = !options.output.empty() ? options.output
                              : fromStandardInput     ? std::string(file_io::kStandardStream)
                                                      : orvane::BmpFileNameFor(options.input);
  if (file_io::NamesSameFile(options.input, bmpPath)) {
    err << bmpPath << ": is the input file; the BMP picture would replace it\n";
    return 1;
  }
  orvane::VexoFileDecoder decoder;
  const orvane::FileDecodeOutcome outcome = decoder.Decode(options.input);
  if (outcome.status != orvane::FileDecodeStatus::kOk) {
    err << FailureMessage(options.input, outcome) << "\n";
    return 1;
  }
  // When the picture goes to standard output, the texts go beside it on
  // standard error.
  std::ostream& texts = bmpPath == file_io::kStandardStream ? err : out;
  orvane::StatisticsTexts statistics;
  orvane::UpdateStatisticsTexts(statistics, decoder.Statistics());
  PrintStatistics(statistics, texts);

  const std::string failure =
      orvane::WriteBmpFile(bmpPath, decoder.ImageWidth(), decoder.ImageHeight(), decoder.Bitmap());
  if (!failure.empty()) {
    err << failure << "\n";
    return 1;
  }
  texts << "BMP File: " << bmpPath << "\n";
  return 0;
}

}  // namespace

int RunDecode(const DecodeOptions& options, std::ostream& out, std::ostream& err) {
  try {
    return Decode(options, out, err);
  } catch (const std::bad_alloc&) {
    err << file_io::InputName(options.input) << ": "
        << orvane::FailureText(orvane::FileDecodeStatus::kOutOfMemory) << "\n";
    return 1;
  }
}

}  // namespace vexo_cli
