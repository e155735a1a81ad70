#include "bit_writer.h"

namespace vexo::testing {

void AppendLe16(std::vector<uint8_t>& bytes, uint16_t value) {
  bytes.push_back(static_cast<uint8_t>(value));
  bytes.push_back(static_cast<uint8_t>(value >> 8));
}

void AppendLe32(std::vector<uint8_t>& bytes, int32_t value) {
  const auto bits = static_cast<uint32_t>(value);
  AppendLe16(bytes, static_cast<uint16_t>(bits));
  AppendLe16(bytes, static_cast<uint16_t>(bits >> 16));
}

std::vector<uint8_t> MakeHeader(const HeaderFields& fields) {
  std::vector<uint8_t> bytes = {'V', 'E', 'X', 'O'};
  AppendLe16(bytes, fields.width);
  AppendLe16(bytes, fields.height);
  bytes.push_back(fields.depthFlag);
  bytes.push_back(fields.pathFlag);
  bytes.push_back(fields.quality);
  bytes.push_back(fields.codecVersion);
  return bytes;
}

std::vector<uint8_t> MakePredictiveFile(const HeaderFields& fields,
                                        const std::vector<uint8_t>& bitStream,
                                        const std::vector<uint16_t>& rawPixels) {
  std::vector<uint8_t> file = MakeHeader(fields);
  AppendLe32(file, static_cast<int32_t>(16 + bitStream.size()));
  file.insert(file.end(), bitStream.begin(), bitStream.end());
  for (uint16_t pixel : rawPixels) AppendLe16(file, pixel);
  return file;
}

}  // namespace vexo::testing
