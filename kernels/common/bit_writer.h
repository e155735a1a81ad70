// Writer of most-significant-bit-first bit streams, the mirror of
// VexoBitReader.
#pragma once

#include <cstdint>
#include <vector>

namespace vexo {

class BitWriter {
 public:
  // Appends the low n bits of value (n at most 32), first bit most
  // significant.
  void Put(uint32_t value, int n) {
    for (int i = n - 1; i >= 0; --i) {
      if (bitCount_ % 8 == 0) bytes_.push_back(0);
      if ((value >> i) & 1) bytes_.back() |= static_cast<uint8_t>(0x80 >> (bitCount_ % 8));
      ++bitCount_;
    }
  }

  uint64_t BitCount() const { return bitCount_; }
  // The bytes so far, the last one padded with zero bits.
  const std::vector<uint8_t>& Bytes() const { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
  uint64_t bitCount_ = 0;
};

}  // namespace vexo
