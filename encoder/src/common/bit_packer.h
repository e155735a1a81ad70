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
    if (count_ >= 32) {
      count_ -= 32;
      const auto word = static_cast<uint32_t>(accumulator_ >> count_);
      bytes_.insert(bytes_.end(),
                    {static_cast<uint8_t>(word >> 24), static_cast<uint8_t>(word >> 16),
                     static_cast<uint8_t>(word >> 8), static_cast<uint8_t>(word)});
    }
  }

  // The whole stream; the packer is left empty.
  std::vector<uint8_t> Finish() {
    for (; count_ >= 8; count_ -= 8) {
      bytes_.push_back(static_cast<uint8_t>(accumulator_ >> (count_ - 8)));
    }
    if (count_ > 0) bytes_.push_back(static_cast<uint8_t>(accumulator_ << (8 - count_)));
    accumulator_ = 0;
    count_ = 0;
    return std::move(bytes_);
  }

 private:
  std::vector<uint8_t> bytes_;
  uint64_t accumulator_ = 0;
  int count_ = 0;  // bits of the accumulator not yet in bytes_, below 32 between calls
};

}  // namespace vexo
