#include "picture_reader.h"

#include <cstring>
#include <vector>

#include "file_io/input_file.h"

namespace vexo {

namespace {

bool StartsWith(std::span<const uint8_t> bytes, const char* magic) {
  const size_t length = std::strlen(magic);
  return bytes.size() >= length && std::memcmp(bytes.data(), magic, length) == 0;
}

}  // namespace

Result<RgbPicture> ReadPicture(const std::string& path, const Rgb& background) {
  const Result<std::vector<uint8_t>> read = file_io::ReadWholeFile(path, kLargestPictureFile);
  if (!read) return read.error();
  return DecodePicture(*read, file_io::InputName(path), background);
}

Result<RgbPicture> DecodePicture(std::span<const uint8_t> bytes, const std::string& name,
                                 const Rgb& background) {
  if (StartsWith(bytes, "\x89PNG")) return DecodePng(bytes, name, background);
  if (StartsWith(bytes, "\xFF\xD8\xFF")) return DecodeJpeg(bytes, name);
  if (StartsWith(bytes, "BM")) return DecodeBmp(bytes, name);
  if (StartsWith(bytes, "P6")) return DecodePpm(bytes, name);
  return Error{ErrorCode::kUnsupported,
               name + ": not a PNG, BMP or binary PPM picture, nor a JPEG"};
}

}  // namespace vexo
