#include "byteloom/file_handle.h"

#include <cerrno>

namespace byteloom {

FileHandle OpenFile(const std::filesystem::path& path, const char* mode) {
  errno = 0;
  return FileHandle(std::fopen(path.string().c_str(), mode));
}

int LastErrorNumber() {
  return errno != 0 ? errno : EIO;
}

}  // namespace byteloom
