#include "example_files.h"

#include <random>

#include "bit_writer.h"
#include "fast_file_builder.h"
#include "transform_stream.h"

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

std::vector<std::vector<uint8_t>> RandomFilesOfEveryPath() {
  std::vector<std::vector<uint8_t>> files;
  std::mt19937 random(19);
  for (int trial = 0; trial < 24; ++trial) {
    const auto width = static_cast<uint16_t>(1 + random() % 40);
    const auto height = static_cast<uint16_t>(1 + random() % 30);
    const auto quality = static_cast<uint8_t>(random() % 52);
    files.push_back(MakeRandomTransformFile(width, height, quality, random(),
                                            trial % 2 ? kWildMix : kTypicalMix));
    files.push_back(MakeFastPicture({.width = width,
                                     .height = height,
                                     .quality = static_cast<uint8_t>(random() % 3),
                                     .seed = static_cast<uint32_t>(random()),
                                     .undefinedModes = trial % 3 == 0,
                                     .layout = {}}));
    std::vector<uint8_t> bits(2 * width * height);
    for (auto& b : bits) b = static_cast<uint8_t>(random());
    std::vector<uint16_t> raw(width * height);
    for (auto& p : raw) p = static_cast<uint16_t>(random());
    files.push_back(
        MakePredictiveFile({.width = width,
                            .height = height,
                            .quality = static_cast<uint8_t>(random() % 3),
                            .codecVersion = static_cast<uint8_t>(trial % 2 ? 201 : 101)},
                           bits, raw));
  }
  return files;
}

}  // namespace vexo::testing
