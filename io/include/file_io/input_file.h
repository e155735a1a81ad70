// Reading a file as a stream, so that pipes, terminals and "-" (standard
// input) work like ordinary files, with a bound on how much is read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "file_io/file_handle.h"
#include "vexo_result.h"

namespace file_io {

// The name that stands for standard input or standard output.
inline constexpr std::string_view kStandardStream = "-";

// How messages name a path: "standard input" for "-", else the path itself.
std::string InputName(const std::string& path);

class InputFile {
 public:
  // Every failure is an error whose message names the file and the reason:
  // kUnreadable, or kTooLarge past a limit.

  // Opens `path` ("-": standard input).
  vexo::Result<void> Open(const std::string& path);

  // Appends up to `count` bytes to `bytes`, fewer only at the end of the
  // input.
  vexo::Result<void> Read(std::vector<uint8_t>& bytes, size_t count);

  // Appends the rest of the input; refuses an input that would make `bytes`
  // longer than `limit`, so that an endless stream cannot exhaust memory.
  vexo::Result<void> ReadRest(std::vector<uint8_t>& bytes, size_t limit);

 private:
  vexo::Error Failure(int errorNumber) const;
  vexo::Error TooLarge(size_t limit) const;

  std::string name_;
  FileHandle owned_;
  std::FILE* file_ = nullptr;
};

// The whole content of `path` ("-": standard input), at most `limit` bytes.
vexo::Result<std::vector<uint8_t>> ReadWholeFile(const std::string& path, size_t limit);

}  // namespace file_io
