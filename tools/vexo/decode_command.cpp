// vexo decode: the viewer's file decode, its statistics, and a BMP, PNG, PPM
// or raw 5-6-5 file; or a whole batch of them.
#include <new>
#include <ostream>

#include "batch_run.h"
#include "bmp_file.h"
#include "commands.h"
#include "file_decoder.h"
#include "file_io/input_file.h"
#include "file_names.h"
#include "statistics_text.h"

namespace vexo::cli {
namespace {

void PrintStatistics(const vexo::StatisticsTexts& texts, std::ostream& out) {
  out << "File Name: " << texts.fileName << "\n"
      << "Image Size: " << texts.imageSize << "\n"
      << "Comp Ratio: " << texts.compressionRatio << "\n"
      << "Dec Time: " << texts.decodeTime << "\n"
      << "Decode Mode: " << texts.decodeMode << "\n"
      << "Quantize Value: " << texts.quantiseValue << "\n";
}

constexpr std::string_view kVexoExtension = ".vxo";

vexo::OutputFormat FormatOf(const DecodeOptions& options) {
  if (options.format) return *options.format;
  return vexo::OutputFormatOfPath(options.output).value_or(vexo::OutputFormat::kBmp);
}

// "BMP", "PNG", "PPM" or "RAW", as the texts name a format.
std::string FormatName(vexo::OutputFormat format) {
  std::string name(vexo::OutputFormatExtension(format).substr(1));
  for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return name;
}

// The output beside the input by the viewer's rule: "1.bmp" (or the
// format's extension) in place of a ".vxo" ending, in any case.
std::string DecodedNameBeside(const std::string& input, vexo::OutputFormat format) {
  return vexo::DecodedFileNameFor(input, vexo::OutputFormatExtension(format));
}

// The output's name in a mirrored tree: the format's extension in place of
// ".vxo", with no "1", since the tree holds no VEXO file to set it apart from.
std::string DecodedNameMirrored(const std::string& fileName, vexo::OutputFormat format) {
  return vexo::WithoutVexoExtension(fileName) + std::string(vexo::OutputFormatExtension(format));
}

// A BMP is written from the decoder's own bitmap, with nothing more to
// allocate; the other formats are made from the 5-6-5 picture.
vexo::Result<void> WritePicture(const vexo::FileDecoder& decoder, const std::string& path,
                                vexo::OutputFormat format, vexo::PixelByteOrder byteOrder) {
  if (format == vexo::OutputFormat::kBmp) {
    return vexo::WriteBmpFile(path, decoder.ImageWidth(), decoder.ImageHeight(), decoder.Bitmap());
  }
  return vexo::WriteOutputFile(path, format, decoder.ImageWidth(), decoder.ImageHeight(),
                               decoder.Image565(), byteOrder);
}

int Decode(const DecodeOptions& options, vexo::FileDecoder& decoder, std::ostream& out,
           std::ostream& err) {
  const bool fromStandardInput = options.input == file_io::kStandardStream;
  const vexo::OutputFormat format = FormatOf(options);
  const std::string outputPath = !options.output.empty() ? options.output
                                 : fromStandardInput     ? std::string(file_io::kStandardStream)
                                                         : DecodedNameBeside(options.input, format);
  if (const auto refused =
          RefuseOutput(options.input, outputPath, FormatName(format) + " picture")) {
    err << refused->message << "\n";
    return refused->exitCode;
  }
  const vexo::FileDecodeOutcome outcome = decoder.Decode(options.input);
  if (outcome.status != vexo::FileDecodeStatus::kOk) {
    err << vexo::FailureMessage(options.input, outcome) << "\n";
    return 1;
  }
  // When the picture goes to standard output, the texts go beside it on
  // standard error.
  std::ostream& texts = outputPath == file_io::kStandardStream ? err : out;
  vexo::StatisticsTexts statistics;
  vexo::UpdateStatisticsTexts(statistics, decoder.Statistics());
  PrintStatistics(statistics, texts);

  if (const vexo::Result<void> written =
          WritePicture(decoder, outputPath, format, options.byteOrder);
      !written) {
    err << written.error().message << "\n";
    return 1;
  }
  texts << FormatName(format) << " File: " << outputPath << "\n";
  return 0;
}

// Runs one decode with `decoder`, whose buffers a batch reuses from file to file.
int RunDecodeWith(const DecodeOptions& options, vexo::FileDecoder& decoder, std::ostream& out,
                  std::ostream& err) {
  try {
    return Decode(options, decoder, out, err);
  } catch (const std::bad_alloc&) {
    err << file_io::InputName(options.input) << ": "
        << vexo::FailureText(vexo::FileDecodeStatus::kOutOfMemory) << "\n";
    return 1;
  }
}

}  // namespace

int RunDecode(const DecodeOptions& options, std::ostream& out, std::ostream& err) {
  vexo::FileDecoder decoder;
  return RunDecodeWith(options, decoder, out, err);
}

int RunDecodeBatch(const BatchRequest& batch, std::optional<vexo::OutputFormat> format,
                   vexo::PixelByteOrder byteOrder, std::ostream& out, std::ostream& err) {
  const vexo::OutputFormat chosen = format.value_or(vexo::OutputFormat::kBmp);
  const BatchNaming naming{
      [](std::string_view name) { return vexo::EndsWithIgnoringCase(name, kVexoExtension); },
      [chosen](const std::string& input) { return DecodedNameBeside(input, chosen); },
      [chosen](const std::string& name) { return DecodedNameMirrored(name, chosen); },
      "no VEXO file (*.vxo)"};
  const ConvertOneFile decodeOne = [chosen, byteOrder](const BatchJob& job, std::ostream&,
                                                       std::ostream& messages) {
    if (!CreateOutputFolder(job.output, messages)) return 1;
    std::ostream statistics(nullptr);        // a batch prints no statistics block per file
    thread_local vexo::FileDecoder decoder;  // an instance serves one thread alone
    return RunDecodeWith({job.input, job.output, chosen, byteOrder}, decoder, statistics, messages);
  };
  return RunBatch(PlanBatch(batch.inputs, batch.outputFolder, naming),
                  {batch.threads, batch.showProgress, "decode", batch.outputFolder}, decodeOne, out,
                  err);
}

}  // namespace vexo::cli
