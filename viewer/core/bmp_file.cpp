#include "bmp_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace orvane {
namespace {

void PutLe16(uint8_t* at, uint32_t value) {
  at[0] = static_cast<uint8_t>(value);
  at[1] = static_cast<uint8_t>(value >> 8);
}

void PutLe32(uint8_t* at, uint32_t value) {
  PutLe16(at, value);
  PutLe16(at + 2, value >> 16);
}

std::string ErrnoText(const std::string& what, const std::string& path) {
  return what + " " + path + ": " + std::strerror(errno);
}

}  // namespace

std::array<uint8_t, kBmpHeaderSize> MakeBmpHeader(int32_t width, int32_t height,
                                                  uint32_t imageByteCount) {
  std::array<uint8_t, kBmpHeaderSize> header{};
  header[0] = 'B';
  header[1] = 'M';
  PutLe32(&header[2], kBmpHeaderSize + imageByteCount);
  PutLe32(&header[10], kBmpHeaderSize);
  PutLe32(&header[14], 40);
  PutLe32(&header[18], static_cast<uint32_t>(width));
  PutLe32(&header[22], static_cast<uint32_t>(height));
  PutLe16(&header[26], 1);
  PutLe16(&header[28], 24);
  return header;
}

std::string BmpFileNameFor(const std::string& picturePath) {
  const size_t keep = picturePath.size() >= 4 ? picturePath.size() - 4 : 0;
  return picturePath.substr(0, keep) + "1.bmp";
}

std::string WriteBmpFile(const std::string& path, int32_t width, int32_t height,
                         std::span<const uint8_t> bitmap) {
  // Written under a temporary name and renamed, so a failure never leaves a
  // half-written picture or destroys the previous one.
  const std::string temporary = path + ".part";
  std::FILE* file = std::fopen(temporary.c_str(), "wb");
  if (!file) return ErrnoText("Cannot create", temporary);
  const auto header = MakeBmpHeader(width, height, static_cast<uint32_t>(bitmap.size()));
  const bool written = std::fwrite(header.data(), 1, header.size(), file) == header.size() &&
                       std::fwrite(bitmap.data(), 1, bitmap.size(), file) == bitmap.size();
  const int savedErrno = errno;
  const bool closed = std::fclose(file) == 0;
  if (!written || !closed) {
    errno = written ? errno : savedErrno;
    std::string message = ErrnoText("Cannot write", path);
    std::remove(temporary.c_str());
    return message;
  }
  std::error_code error;
  std::filesystem::rename(temporary, path, error);
  if (error) {
    std::remove(temporary.c_str());
    return "Cannot write " + path + ": " + error.message();
  }
  return {};
}

}  // namespace orvane
