// VexoBitReader: the most-significant-bit-first reader shared by every coded
// stream of the format.
//
// The accumulator is 64 bits wide and left-aligned: the next unconsumed bit is
// bit 63. Which bits are read is fixed by the format; how far ahead the reader
// fetches is not, so it fetches up to 8 bytes at a time. Bytes past the end of
// the file read as 0: a look-ahead never changes a result, and a decode that
// actually consumes such a bit is caught by ConsumedPastEnd().
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace vexo {

class VexoBitReader {
 public:
  // Reads the stream that starts at file offset `start` of a file of `size`
  // bytes. `start` may lie past the end (then every bit read is past it).
  VexoBitReader(const uint8_t* file, size_t size, size_t start)
      : file_(file), size_(size), start_(start), next_(start) {}

  // Makes at least 49 bits available. Safe anywhere; fast away from the end.
  void Refill() {
    if (next_ + 8 <= size_) {
      RefillUnchecked();
    } else {
      RefillNearEnd();
    }
  }

  // Makes at least 56 bits available; the caller guarantees that 8 bytes from
  // the next fetch position lie inside the file (see HasBytesAhead).
  void RefillUnchecked() {
    uint64_t word;
    std::memcpy(&word, file_ + next_, sizeof word);
    word = ToBigEndian(word);
    accumulator_ |= word >> count_;
    next_ += (63 - count_) >> 3;
    count_ |= 56;
  }

  // True when `bytes` more bytes from the next fetch position are in the file.
  bool HasBytesAhead(size_t bytes) const { return next_ + bytes <= size_; }

  // The next n bits (1..32) without consuming them; needs n <= Count().
  uint32_t Peek(int n) const { return static_cast<uint32_t>(accumulator_ >> (64 - n)); }
  void Skip(int n) {
    accumulator_ <<= n;
    count_ -= n;
  }
  // Reads n bits (1..32), refilling as needed.
  uint32_t Read(int n) {
    if (Count() < n) Refill();
    const uint32_t value = Peek(n);
    Skip(n);
    return value;
  }

  int Count() const { return static_cast<int>(count_); }

  // Bits consumed since the start of the stream.
  uint64_t ConsumedBits() const { return (next_ - start_) * 8 - count_; }
  // True once a consumed bit lay past the end of the file.
  bool ConsumedPastEnd() const {
    const uint64_t available = size_ > start_ ? (size_ - start_) * 8 : 0;
    return ConsumedBits() > available;
  }
  // Offset just past the byte that holds the last consumed bit.
  uint64_t EndOffset() const { return start_ + (ConsumedBits() + 7) / 8; }

 private:
  static uint64_t ToBigEndian(uint64_t word) {
    if constexpr (std::endian::native == std::endian::little) {
      return __builtin_bswap64(word);
    } else {
      return word;
    }
  }

  void RefillNearEnd() {
    while (count_ <= 48) {
      const uint64_t byte = next_ < size_ ? file_[next_] : 0;
      accumulator_ |= byte << (56 - count_);
      count_ += 8;
      ++next_;
    }
  }

  const uint8_t* file_;
  size_t size_;
  size_t start_;
  size_t next_;
  uint64_t accumulator_ = 0;
  uint32_t count_ = 0;
};

}  // namespace vexo
