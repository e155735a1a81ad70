// Test-side writer of most-significant-bit-first bit streams, and helpers to
// assemble whole VEXO files around them.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace vexo::testing {

class BitWriter {
 public:
  // Appends the low n bits of value, first bit most significant.
  void Put(uint32_t value, int n) {
    for (int i = n - 1; i >= 0; --i) PutBit((value >> i) & 1);
  }
  // Appends bits written as a string of '0' and '1'; other characters (spaces
  // for readability) are skipped.
  void PutBits(std::string_view bits) {
    for (char c : bits) {
      if (c == '0' || c == '1') PutBit(c == '1');
    }
  }
  void PutBit(bool bit) {
    if (bitCount_ % 8 == 0) bytes_.push_back(0);
    if (bit) bytes_.back() |= static_cast<uint8_t>(0x80 >> (bitCount_ % 8));
    ++bitCount_;
  }
  size_t BitCount() const { return bitCount_; }
  // The bytes so far, the last one padded with zero bits.
  const std::vector<uint8_t>& Bytes() const { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
  size_t bitCount_ = 0;
};

struct HeaderFields {
  uint16_t width = 0;
  uint16_t height = 0;
  uint8_t depthFlag = 0;
  uint8_t pathFlag = 0;
  uint8_t quality = 0;
  uint8_t codecVersion = 101;
};

// The 12-byte header.
std::vector<uint8_t> MakeHeader(const HeaderFields& fields);

void AppendLe16(std::vector<uint8_t>& bytes, uint16_t value);
void AppendLe32(std::vector<uint8_t>& bytes, int32_t value);

// A predictive-path file: header, rawOffset, the bit stream, then the raw
// pixels right after it.
std::vector<uint8_t> MakePredictiveFile(const HeaderFields& fields,
                                        const std::vector<uint8_t>& bitStream,
                                        const std::vector<uint16_t>& rawPixels);

}  // namespace vexo::testing
