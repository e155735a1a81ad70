#include "file_io/file_handle.h"

#include <cerrno>

namespace file_io {

FileHandle OpenFile(const std::string& path, const char* mode) {
  errno = 0;
  return FileHandle(std::fopen(path.c_str(), mode));
}

int LastErrorNumber() {
  return errno != 0 ? errno : EIO;
}

}  // namespace file_io
