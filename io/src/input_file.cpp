#include "file_io/input_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace file_io {
using vexo::Error;
using vexo::ErrorCode;
using vexo::Result;
namespace {

// Large enough that system calls are rare, small enough to cost nothing for
// a tiny file.
constexpr size_t kChunkSize = size_t{64} << 10;

// The size of a regular file, to reserve it at once; 0 when unknown.
size_t SizeHint(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return 0;
  return static_cast<size_t>(status.st_size);
}

}  // namespace

std::string InputName(const std::string& path) {
  return path == kStandardStream ? "standard input" : path;
}

Error InputFile::Failure(int errorNumber) const {
  return {ErrorCode::kUnreadable, "Cannot read " + name_ + ": " + std::strerror(errorNumber)};
}

Error InputFile::TooLarge(size_t limit) const {
  return {ErrorCode::kTooLarge,
          "Cannot read " + name_ + ": larger than " + std::to_string(limit) + " bytes"};
}

Result<void> InputFile::Open(const std::string& path) {
  name_ = InputName(path);
  if (path == kStandardStream) {
    file_ = stdin;
    return {};
  }
  owned_ = OpenFile(path, "rb");
  file_ = owned_.get();
  if (!file_) return Failure(LastErrorNumber());
  return {};
}

Result<void> InputFile::Read(std::vector<uint8_t>& bytes, size_t count) {
  const size_t start = bytes.size();
  bytes.resize(start + count);
  errno = 0;
  const size_t got = std::fread(bytes.data() + start, 1, count, file_);
  bytes.resize(start + got);
  if (std::ferror(file_)) return Failure(LastErrorNumber());
  return {};
}

Result<void> InputFile::ReadRest(std::vector<uint8_t>& bytes, size_t limit) {
  while (!std::feof(file_)) {
    if (bytes.size() > limit) return TooLarge(limit);
    // One byte past the limit tells a file of exactly `limit` bytes from a longer one.
    const size_t room = limit + 1 - bytes.size();
    if (Result<void> read = Read(bytes, room < kChunkSize ? room : kChunkSize); !read) {
      return read;
    }
  }
  if (bytes.size() > limit) return TooLarge(limit);
  return {};
}

Result<std::vector<uint8_t>> ReadWholeFile(const std::string& path, size_t limit) {
  InputFile input;
  if (Result<void> opened = input.Open(path); !opened) return opened.error();
  std::vector<uint8_t> bytes;
  const size_t hint = path == kStandardStream ? 0 : SizeHint(path);
  bytes.reserve(hint < limit ? hint + 1 : 0);
  if (Result<void> read = input.ReadRest(bytes, limit); !read) return read.error();
  return bytes;
}

}  // namespace file_io
