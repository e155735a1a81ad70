#include "atomic_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace orvane {
namespace {

std::string Failure(const std::string& path, int error) {
  return "Cannot write " + path + ": " + std::strerror(error);
}

// A name beside the target that no other thread or process of ours uses.
std::string TemporaryNameFor(const std::string& path) {
  static std::atomic<unsigned> counter{0};
  return path + ".part-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
}

bool WriteAll(int descriptor, std::span<const uint8_t> bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes = bytes.subspan(static_cast<size_t>(written));
  }
  return true;
}

}  // namespace

std::string WriteFileAtomically(const std::string& path,
                                std::initializer_list<std::span<const uint8_t>> parts) {
  const std::string temporary = TemporaryNameFor(path);
  // 0666 less the umask, like any file the user creates.
  const int descriptor = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (descriptor < 0) return Failure(path, errno);
  bool written = true;
  for (const auto part : parts) written = written && WriteAll(descriptor, part);
  const int writeError = errno;
  const bool closed = ::close(descriptor) == 0;
  if (written && closed && std::rename(temporary.c_str(), path.c_str()) == 0) return {};
  const int error = !written ? writeError : errno;
  std::remove(temporary.c_str());
  return Failure(path, error);
}

}  // namespace orvane
