#include "bit_writer.h"

namespace vexo::testing {

std::vector<uint8_t> MakeHeader(const HeaderFields& fields) {
  return MakeVexoHeader({fields.width, fields.height, fields.depthFlag, fields.pathFlag,
                         fields.quality, fields.codecVersion});
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
