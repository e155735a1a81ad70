#include "file_io/whole_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "file_io/atomic_output_file.h"
#include "file_io/input_file.h"

namespace file_io {
using vexo::Error;
using vexo::ErrorCode;
using vexo::Result;
namespace {

std::string_view AsText(std::span<const uint8_t> bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

Result<void> WriteToStandardOutput(std::initializer_list<std::span<const uint8_t>> parts) {
  errno = 0;
  bool written = true;
  for (const auto part : parts) {
    written = written && std::fwrite(part.data(), 1, part.size(), stdout) == part.size();
  }
  if (written && std::fflush(stdout) == 0) return {};
  return WriteFailure("standard output", LastErrorNumber());
}

}  // namespace

Error WriteFailure(const std::string& path, int errorNumber) {
  return {ErrorCode::kWriteFailed, "Cannot write " + path + ": " + std::strerror(errorNumber)};
}

Result<void> WriteWholeFile(const std::string& path, std::span<const uint8_t> bytes) {
  return WriteWholeFile(path, {bytes});
}

Result<void> WriteWholeFile(const std::string& path,
                            std::initializer_list<std::span<const uint8_t>> parts) {
  if (path == kStandardStream) return WriteToStandardOutput(parts);
  AtomicOutputFile output;
  int error = output.Open(path);
  for (auto part = parts.begin(); error == 0 && part != parts.end(); ++part) {
    error = output.Write(AsText(*part));
  }
  if (error == 0) error = output.Commit();
  if (error != 0) return WriteFailure(path, error);
  return {};
}

}  // namespace file_io
