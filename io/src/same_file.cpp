#include "file_io/same_file.h"

#include <sys/stat.h>

#include "file_io/input_file.h"

namespace file_io {

bool NamesSameFile(const std::string& first, const std::string& second) {
  if (first == kStandardStream || second == kStandardStream) return false;
  struct stat one {
  }, other{};
  // A path that does not exist names no file, so never the same one twice.
  if (::stat(first.c_str(), &one) != 0 || ::stat(second.c_str(), &other) != 0) return false;
  return one.st_dev == other.st_dev && one.st_ino == other.st_ino;
}

}  // namespace file_io
