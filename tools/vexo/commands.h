// The subcommands of the vexo command line. Each returns the process exit
// code: 0 success, 1 failure of the file or its decode. Every file argument
// may be "-" for standard input or standard output.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <span>
#include <string>

#include "picture_reader.h"
#include "vexo_encoder.h"

namespace vexo_cli {

struct DecodeOptions {
  std::string input;
  std::string output;  // empty: beside the input by the "1.bmp" rule
};

int RunDecode(const DecodeOptions& options, std::ostream& out, std::ostream& err);
struct EncodeRequest {
  std::string input;
  std::string output;
  EncodeOptions options;
  Rgb background = kWhite;  // under transparent pixels
};

int RunEncode(const EncodeRequest& request, std::ostream& out, std::ostream& err);
int RunInfo(const std::string& input, std::ostream& out, std::ostream& err);
// What `vexo info` prints for a file already in memory; returns the exit code.
int DescribeVexoFile(std::span<const uint8_t> file, std::ostream& out);

}  // namespace vexo_cli
