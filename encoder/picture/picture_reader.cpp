#include "picture_reader.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

bool StartsWith(std::span<const uint8_t> bytes, const char* magic) {
  const size_t length = std::strlen(magic);
  return bytes.size() >= length && std::memcmp(bytes.data(), magic, length) == 0;
}

}  // namespace

PictureOrError ReadPicture(const std::string& path) {
  errno = 0;
  std::ifstream file(path, std::ios::binary);
  if (!file) return path + ": cannot open: " + std::strerror(errno ? errno : ENOENT);
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                   std::istreambuf_iterator<char>());
  if (file.bad()) return path + ": cannot read: " + std::strerror(errno ? errno : EIO);
  return DecodePicture(bytes, path);
}

PictureOrError DecodePicture(std::span<const uint8_t> bytes, const std::string& name) {
  if (StartsWith(bytes, "\x89PNG")) return DecodePng(bytes, name);
  if (StartsWith(bytes, "\xFF\xD8\xFF")) return DecodeJpeg(bytes, name);
  if (StartsWith(bytes, "BM")) return DecodeBmp(bytes, name);
  if (StartsWith(bytes, "P6")) return DecodePpm(bytes, name);
  return name + ": not a PNG, BMP or binary PPM picture, nor a JPEG";
}
