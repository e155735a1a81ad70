// The 12-byte header as the encoder writes it.
#pragma once

#include <cstdint>
#include <vector>

#include "common/little_endian.h"
#include "vexo_header.h"

namespace vexo {

inline std::vector<uint8_t> MakeVexoHeader(const VexoHeader& header) {
  std::vector<uint8_t> bytes = {'V', 'E', 'X', 'O'};
  AppendLe16(bytes, header.width);
  AppendLe16(bytes, header.height);
  bytes.push_back(header.depthFlag);
  bytes.push_back(header.pathFlag);
  bytes.push_back(header.quality);
  bytes.push_back(header.codecVersion);
  return bytes;
}

}  // namespace vexo
