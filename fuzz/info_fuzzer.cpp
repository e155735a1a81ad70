// Fuzz target for what `vexo info` reads and prints of any file: the header
// fields, the coding path, the status and the verdict.
#include <cstddef>
#include <cstdint>
#include <span>
#include <sstream>

#include "commands.h"
#include "file_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::ostringstream out;
  const int exitCode = vexo::cli::DescribeVexoFile(std::span(data, size), out);
  const std::string text = out.str();
  // Every report ends with the library's status and result, and says ok
  // exactly when the exit code does; its verdict is what the file decode of
  // vexo decode and the viewer says.
  if (text.find("result: ") == std::string::npos) __builtin_trap();
  if ((exitCode == 0) != (text.find("status: ok\n") != std::string::npos)) __builtin_trap();
  const vexo::FileDecodeStatus status = vexo::FileDecoder().DecodeBytes("", {data, size}).status;
  const std::string_view failure = vexo::FailureText(status);
  const std::string verdict = failure.empty() ? "ok" : std::string(failure);
  if (!text.ends_with("verdict: " + verdict + "\n")) __builtin_trap();
  return 0;
}
