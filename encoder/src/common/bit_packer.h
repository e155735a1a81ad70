// The bit writer of the lossless encoders' block loops: the same bytes as
// BitWriter (most significant bit first, the last byte padded with zero
// bits), through a 64-bit accumulator instead of one bit at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace vexo {

class BitPacker {
 public:
  void Reserve(size_t bytes) { bytes_.reserve(bytes); }

  // Appends the low n bits of value, n from 0 to 32.
  void Put(uint32_t value, int n) {
    accumulator_ = (accumulator_ << n) | (value & ((uint64_t{1} << n) - 1));
    count_ += n;
    while (count_ >= 8) {
      count_ -= 8;
      bytes_.push_back(static_cast<uint8_t>(accumulator_ >> count_));
    }
  }

  // The whole stream; the packer is left empty.
  std::vector<uint8_t> Finish() {
    if (count_ > 0) bytes_.push_back(static_cast<uint8_t>(accumulator_ << (8 - count_)));
    accumulator_ = 0;
    count_ = 0;
    return std::move(bytes_);
  }

 private:
  std::vector<uint8_t> bytes_;
  uint64_t accumulator_ = 0;
  int count_ = 0;  // bits of the accumulator not yet in bytes_, below 8 between calls
};

}  // namespace vexo
