// The subcommands of the vexo command line. Each returns the process exit
// code: 0 success, 1 failure of the file or its decode. Every file argument
// may be "-" for standard input or standard output.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "picture_output.h"
#include "picture_reader.h"
#include "vexo_choice.h"
#include "vexo_encoder.h"

namespace vexo::cli {

inline constexpr int kUsageError = 2;

// Why an output cannot take what a command would write there (`what`: "BMP
// picture"), said before any work and with the exit code to end with:
// standard output that is a terminal (a usage error), an existing folder, or
// the input file itself.
struct OutputRefusal {
  int exitCode;
  std::string message;
};
std::optional<OutputRefusal> RefuseOutput(const std::string& input, const std::string& output,
                                          std::string_view what);

struct DecodeOptions {
  std::string input;
  std::string output;  // empty: beside the input by the "1.bmp" rule
  // Empty: the output's extension says, BMP when it says nothing.
  std::optional<vexo::OutputFormat> format = std::nullopt;
  vexo::PixelByteOrder byteOrder = vexo::PixelByteOrder::kLittle;  // raw output alone
};

int RunDecode(const DecodeOptions& options, std::ostream& out, std::ostream& err);

// Several files and folders converted at once.
struct BatchRequest {
  std::vector<std::string> inputs;
  std::string outputFolder;  // empty: each output beside its input
  unsigned threads = 1;
  bool showProgress = false;
};

// Decodes every VEXO file of the inputs to `format` (BMP when empty).
int RunDecodeBatch(const BatchRequest& batch, std::optional<vexo::OutputFormat> format,
                   vexo::PixelByteOrder byteOrder, std::ostream& out, std::ostream& err);
// What an encode writes: the VEXO file, or a C source holding its bytes as
// an array with a header beside it (OUT.c and OUT.h).
enum class EncodeOutput { kVexoFile, kCSource };

struct EncodeRequest {
  std::string input;
  std::string output;
  EncodeOptions options;
  // When set, the path and quality are chosen for each picture and `options`
  // is not used.
  std::optional<ChoiceRequest> choice = std::nullopt;
  Rgb background = kWhite;  // under transparent pixels
  EncodeOutput format = EncodeOutput::kVexoFile;
  std::string arrayName = {};  // of a C source; empty: made from the output's name
  // Say what would be written (the files, a C source's array) after every
  // check that needs no picture, and read and write nothing.
  bool dryRun = false;
};

int RunEncode(const EncodeRequest& request, std::ostream& out, std::ostream& err);
// Encodes every picture of the inputs with the settings of `request`, whose
// input and output are not used.
int RunEncodeBatch(const BatchRequest& batch, const EncodeRequest& request, std::ostream& out,
                   std::ostream& err);
int RunInfo(const std::string& input, std::ostream& out, std::ostream& err);
// What `vexo info` prints for a file already in memory; returns the exit code.
int DescribeVexoFile(std::span<const uint8_t> file, std::ostream& out);

}  // namespace vexo::cli
