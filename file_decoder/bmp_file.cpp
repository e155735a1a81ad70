#include "bmp_file.h"

#include <algorithm>
#include <string_view>

#include "file_io/whole_file.h"
#include "file_names.h"

namespace vexo {
namespace {

void PutLe16(uint8_t* at, uint32_t value) {
  at[0] = static_cast<uint8_t>(value);
  at[1] = static_cast<uint8_t>(value >> 8);
}

void PutLe32(uint8_t* at, uint32_t value) {
  PutLe16(at, value);
  PutLe16(at + 2, value >> 16);
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
  return DecodedFileNameFor(picturePath, ".bmp");
}

Result<void> WriteBmpFile(const std::string& path, int32_t width, int32_t height,
                          std::span<const uint8_t> bitmap) {
  const auto header = MakeBmpHeader(width, height, static_cast<uint32_t>(bitmap.size()));
  return file_io::WriteWholeFile(path, {header, bitmap});
}

}  // namespace vexo
