// Fuzz target for what `vexo info` reads and prints of any file: the header
// fields, the coding path, the status and the verdict.
#include <cstddef>
#include <cstdint>
#include <span>
#include <sstream>

#include "commands.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::ostringstream out;
  const int exitCode = vexo::cli::DescribeVexoFile(std::span(data, size), out);
  const std::string text = out.str();
  // Every report ends with the library's status and result, and says ok
  // exactly when the exit code does.
  if (text.find("result: ") == std::string::npos) __builtin_trap();
  if ((exitCode == 0) != (text.find("status: ok\n") != std::string::npos)) __builtin_trap();
  return 0;
}
