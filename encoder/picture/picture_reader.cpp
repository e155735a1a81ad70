#include "picture_reader.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

bool StartsWith(const std::vector<uint8_t>& bytes, const char* magic) {
  const size_t length = std::strlen(magic);
  return bytes.size() >= length && std::memcmp(bytes.data(), magic, length) == 0;
}

std::vector<uint8_t> FirstBytes(const std::string& path, size_t count) {
  std::ifstream file(path, std::ios::binary);
  std::vector<uint8_t> bytes(count);
  file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(count));
  bytes.resize(static_cast<size_t>(file.gcount()));
  return bytes;
}

}  // namespace

PictureOrError ReadPicture(const std::string& path) {
  std::ifstream probe(path, std::ios::binary);
  if (!probe) return path + ": cannot open: " + std::strerror(errno);
  // The contents decide the format, not the name.
  const std::vector<uint8_t> start = FirstBytes(path, 8);
  if (StartsWith(start, "\x89PNG")) return ReadPng(path);
  if (StartsWith(start, "BM")) return ReadBmp(path);
  if (StartsWith(start, "P6")) return ReadPpm(path);
  return path + ": not a PNG, BMP or binary PPM picture";
}
