#include "example_files.h"

#include "bit_writer.h"

namespace vexo::testing {

std::vector<uint8_t> HandCheckedFile(uint8_t quality, uint8_t codecVersion) {
  return {'V',  'E',  'X',  'O',  0x04, 0x00, 0x02, 0x00, 0x00, 0x00, quality, codecVersion,
          0x14, 0x00, 0x00, 0x00, 0x1E, 0x00, 0xDC, 0x37, 0x00, 0xF8, 0x1F,    0x00};
}

std::vector<uint8_t> WithByte(std::vector<uint8_t> bytes, size_t at, uint8_t value) {
  bytes[at] = value;
  return bytes;
}

std::vector<uint8_t> HugePictureInATinyFile() {
  auto file = MakeHeader({.width = 32767, .height = 32767});
  AppendLe32(file, 16);
  file.resize(40, 0xFF);
  return file;
}

}  // namespace vexo::testing
