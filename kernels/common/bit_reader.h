// The most-significant-bit-first reader shared by every coded stream of the
// format, in two widths: VexoBitReader with a 64-bit accumulator, and
// NativeBitReader with the processor's own width (64 bits on 64-bit
// processors, 32 bits elsewhere, where a 64-bit shift costs several
// instructions and a 64-bit byte swap a library call).
//
// The accumulator is left-aligned: the next unconsumed bit is its top bit.
// Which bits are read is fixed by the format; how far ahead the reader
// fetches is not, so it fetches a whole word at a time. Bytes past the end of
// the file read as 0: a look-ahead never changes a result, and a decode that
// actually consumes such a bit is caught by ConsumedPastEnd().
#pragma once

#include <bit>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace vexo {

template <class Word>
class BasicBitReader {
 public:
  static constexpr int kWordBits = static_cast<int>(sizeof(Word) * CHAR_BIT);
  // Bits RefillUnchecked makes available: 56 or 24.
  static constexpr int kUncheckedBits = kWordBits - 8;
  // Bits Refill makes available anywhere: 49 or 17.
  static constexpr int kRefillBits = kWordBits - 15;

  // Reads the stream that starts at file offset `start` of a file of `size`
  // bytes. `start` may lie past the end (then every bit read is past it).
  BasicBitReader(const uint8_t* file, size_t size, size_t start)
      : file_(file), size_(size), start_(start), next_(start) {}

  // Makes at least kRefillBits bits available. Safe anywhere; fast away from
  // the end.
  void Refill() {
    if (next_ + sizeof(Word) <= size_) {
      RefillUnchecked();
    } else {
      RefillNearEnd();
    }
  }

  // Makes at least kUncheckedBits bits available; the caller guarantees that
  // sizeof(Word) bytes from the next fetch position lie inside the file (see
  // HasBytesAhead).
  void RefillUnchecked() {
    accumulator_ |= LoadBigEndian(file_ + next_) >> count_;
    next_ += (kWordBits - 1 - count_) >> 3;
    count_ |= kUncheckedBits;
  }

  // True when `bytes` more bytes from the next fetch position are in the file.
  bool HasBytesAhead(size_t bytes) const { return next_ + bytes <= size_; }

  // The next n bits (1..32) without consuming them; needs n <= Count().
  uint32_t Peek(int n) const { return static_cast<uint32_t>(accumulator_ >> (kWordBits - n)); }
  void Skip(int n) {
    accumulator_ <<= n;
    count_ -= static_cast<uint32_t>(n);
  }
  // Reads n bits (1..kRefillBits), refilling as needed.
  uint32_t Read(int n) {
    if (Count() < n) Refill();
    const uint32_t value = Peek(n);
    Skip(n);
    return value;
  }

  int Count() const { return static_cast<int>(count_); }

  // The reader's state as plain values, for a loop that keeps it in
  // registers: the next byte to fetch, the accumulator and its bit count.
  // Restore takes back a state that keeps the reader's rules: a count of at
  // most kWordBits, and below it only zeros or the stream's own next bits.
  struct Registers {
    const uint8_t* next;
    Word accumulator;
    uint32_t count;
  };
  Registers Save() const { return {file_ + next_, accumulator_, count_}; }
  void Restore(const Registers& registers) {
    next_ = static_cast<size_t>(registers.next - file_);
    accumulator_ = registers.accumulator;
    count_ = registers.count;
  }

  // Bits consumed since the start of the stream.
  uint64_t ConsumedBits() const { return static_cast<uint64_t>(next_ - start_) * 8 - count_; }
  // True once a consumed bit lay past the end of the file.
  bool ConsumedPastEnd() const {
    const uint64_t available = size_ > start_ ? static_cast<uint64_t>(size_ - start_) * 8 : 0;
    return ConsumedBits() > available;
  }
  // Offset just past the byte that holds the last consumed bit.
  uint64_t EndOffset() const { return start_ + (ConsumedBits() + 7) / 8; }

 private:
  static Word LoadBigEndian(const uint8_t* bytes) {
    if constexpr (sizeof(Word) == 8) {
      uint64_t word;
      std::memcpy(&word, bytes, sizeof word);
      if constexpr (std::endian::native == std::endian::little) word = __builtin_bswap64(word);
      return word;
    } else {
      // Byte by byte: compilers turn this into a load and a byte reverse
      // where the processor has one, and into four byte loads (no call)
      // where it has not.
      return static_cast<Word>(static_cast<uint32_t>(bytes[0]) << 24 |
                               static_cast<uint32_t>(bytes[1]) << 16 |
                               static_cast<uint32_t>(bytes[2]) << 8 | bytes[3]);
    }
  }

  void RefillNearEnd() {
    while (count_ <= kWordBits - 16) {
      const Word byte = next_ < size_ ? file_[next_] : 0;
      accumulator_ |= byte << (kWordBits - 8 - count_);
      count_ += 8;
      ++next_;
    }
  }

  const uint8_t* file_;
  size_t size_;
  size_t start_;
  size_t next_;
  Word accumulator_ = 0;
  uint32_t count_ = 0;
};

// The reader of the transform path and of everything that wants 56 bits per
// refill on every processor.
using VexoBitReader = BasicBitReader<uint64_t>;

// The reader of the predictive and fast paths: as wide as a pointer.
using NativeBitWord = std::conditional_t<(sizeof(void*) >= 8), uint64_t, uint32_t>;
using NativeBitReader = BasicBitReader<NativeBitWord>;

}  // namespace vexo
