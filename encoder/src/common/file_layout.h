// Little-endian writing of the header and the fields that follow it.
#pragma once

#include <cstdint>
#include <vector>

#include "vexo_header.h"

namespace vexo {

inline void AppendLe16(std::vector<uint8_t>& bytes, uint16_t value) {
  bytes.push_back(static_cast<uint8_t>(value));
  bytes.push_back(static_cast<uint8_t>(value >> 8));
}

inline void AppendLe32(std::vector<uint8_t>& bytes, int32_t value) {
  const auto bits = static_cast<uint32_t>(value);
  AppendLe16(bytes, static_cast<uint16_t>(bits));
  AppendLe16(bytes, static_cast<uint16_t>(bits >> 16));
}

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
