#include "file_io/input_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace file_io {
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

std::string InputFile::Failure(int errorNumber) const {
  return "Cannot read " + name_ + ": " + std::strerror(errorNumber);
}

std::string InputFile::Open(const std::string& path) {
  name_ = InputName(path);
  if (path == kStandardStream) {
    file_ = stdin;
    return {};
  }
  owned_ = OpenFile(path, "rb");
  file_ = owned_.get();
  return file_ ? std::string() : Failure(LastErrorNumber());
}

std::string InputFile::Read(std::vector<uint8_t>& bytes, size_t count) {
  const size_t start = bytes.size();
  bytes.resize(start + count);
  errno = 0;
  const size_t got = std::fread(bytes.data() + start, 1, count, file_);
  bytes.resize(start + got);
  return std::ferror(file_) ? Failure(LastErrorNumber()) : std::string();
}

std::string InputFile::ReadRest(std::vector<uint8_t>& bytes, size_t limit) {
  while (!std::feof(file_)) {
    if (bytes.size() > limit) {
      return "Cannot read " + name_ + ": larger than " + std::to_string(limit) + " bytes";
    }
    // One byte past the limit tells a file of exactly `limit` bytes from a longer one.
    const size_t room = limit + 1 - bytes.size();
    if (std::string problem = Read(bytes, room < kChunkSize ? room : kChunkSize);
        !problem.empty()) {
      return problem;
    }
  }
  if (bytes.size() > limit) {
    return "Cannot read " + name_ + ": larger than " + std::to_string(limit) + " bytes";
  }
  return {};
}

BytesOrError ReadWholeFile(const std::string& path, size_t limit) {
  InputFile input;
  if (std::string problem = input.Open(path); !problem.empty()) return problem;
  std::vector<uint8_t> bytes;
  const size_t hint = path == kStandardStream ? 0 : SizeHint(path);
  bytes.reserve(hint < limit ? hint + 1 : 0);
  if (std::string problem = input.ReadRest(bytes, limit); !problem.empty()) return problem;
  return bytes;
}

}  // namespace file_io
