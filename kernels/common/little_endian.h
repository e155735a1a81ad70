// Little-endian fields: every multi-byte field of the format is stored this
// way, whatever the byte order of the machine.
#pragma once

#include <cstdint>
#include <vector>

namespace vexo {

inline uint16_t ReadLe16(const uint8_t* bytes) {
  return static_cast<uint16_t>(bytes[0] | (bytes[1] << 8));
}

inline int32_t ReadLe32Signed(const uint8_t* bytes) {
  return static_cast<int32_t>(
      static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
      (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[3]) << 24));
}

inline void AppendLe16(std::vector<uint8_t>& bytes, uint16_t value) {
  bytes.push_back(static_cast<uint8_t>(value));
  bytes.push_back(static_cast<uint8_t>(value >> 8));
}

inline void AppendLe32(std::vector<uint8_t>& bytes, int32_t value) {
  const auto bits = static_cast<uint32_t>(value);
  AppendLe16(bytes, static_cast<uint16_t>(bits));
  AppendLe16(bytes, static_cast<uint16_t>(bits >> 16));
}

}  // namespace vexo
