// Reading a file as a stream, so that pipes, terminals and "-" (standard
// input) work like ordinary files, with a bound on how much is read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "file_io/file_handle.h"

namespace file_io {

// The name that stands for standard input or standard output.
inline constexpr std::string_view kStandardStream = "-";

// How messages name a path: "standard input" for "-", else the path itself.
std::string InputName(const std::string& path);

class InputFile {
 public:
  // Opens `path` ("-": standard input). Returns "" or a message that names
  // the file and the reason.
  std::string Open(const std::string& path);

  // Appends up to `count` bytes to `bytes`, fewer only at the end of the
  // input. Returns "" or a message.
  std::string Read(std::vector<uint8_t>& bytes, size_t count);

  // Appends the rest of the input; refuses an input that would make `bytes`
  // longer than `limit`, so that an endless stream cannot exhaust memory.
  std::string ReadRest(std::vector<uint8_t>& bytes, size_t limit);

 private:
  std::string Failure(int errorNumber) const;

  std::string name_;
  FileHandle owned_;
  std::FILE* file_ = nullptr;
};

using BytesOrError = std::variant<std::vector<uint8_t>, std::string>;

// The whole content of `path` ("-": standard input), at most `limit` bytes.
BytesOrError ReadWholeFile(const std::string& path, size_t limit);

}  // namespace file_io
