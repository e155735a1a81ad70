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
//
// The reader takes its bytes from a ByteWindow: the whole file in memory, or
// a window a function refills. Where a window's look-ahead may not go on
// (the start of the file's next stream), it stands zeros in for the bytes
// beyond, which Read and EnsureReal replace with the stream's own bytes
// before any of them is consumed: a decode reads only what it consumes past
// that point, and consumes the same bits as from memory.
#pragma once

#include <bit>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "common/byte_window.h"

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
  // bytes in memory. `start` may lie past the end (then every bit read is
  // past it).
  BasicBitReader(const uint8_t* file, size_t size, size_t start)
      : origin_(file),
        cursor_(file + (start < size ? start : size)),
        heldEnd_(file + size),
        originOffset_(0),
        fileSize_(size),
        start_(start),
        overrun_(start < size ? 0 : static_cast<uint32_t>(start - size)) {}

  // Reads the stream from `start` through `window`, which must stay in place
  // (and hold `start`, or end before it) while the reader is used.
  BasicBitReader(ByteWindow* window, uint64_t start)
      : window_(window), fileSize_(window->fileSize), start_(start) {
    Rebase(start);
  }

  // Makes at least kRefillBits bits available. Safe anywhere; fast away from
  // the end.
  void Refill() {
    if (HeldAhead() >= sizeof(Word) || Extend(sizeof(Word))) {
      RefillUnchecked();
    } else {
      RefillNearEnd();
    }
  }

  // Makes at least kUncheckedBits bits available; the caller guarantees that
  // sizeof(Word) bytes from the next fetch position are held (see
  // HasBytesAhead).
  void RefillUnchecked() {
    accumulator_ |= LoadBigEndian(cursor_) >> count_;
    cursor_ += (kWordBits - 1 - count_) >> 3;
    count_ |= kUncheckedBits;
  }

  // True when `bytes` more bytes from the next fetch position are held,
  // refilling a window to hold them if it can.
  bool HasBytesAhead(size_t bytes) { return HeldAhead() >= bytes || Extend(bytes); }

  // The next n bits (1..32) without consuming them; needs n <= Count().
  uint32_t Peek(int n) const { return static_cast<uint32_t>(accumulator_ >> (kWordBits - n)); }
  void Skip(int n) {
    accumulator_ <<= n;
    count_ -= static_cast<uint32_t>(n);
  }
  // Reads n bits (1..kRefillBits), refilling as needed.
  uint32_t Read(int n) {
    if (Count() < n) Refill();
    EnsureReal(n);
    const uint32_t value = Peek(n);
    Skip(n);
    return value;
  }

  int Count() const { return static_cast<int>(count_); }

  // Makes the next n bits (at most Count()) the stream's own, where zeros
  // stand in for bytes past a window's limit: the bytes are read then.
  void EnsureReal(int n) {
    if (padded_ == 0 || static_cast<int>(count_ - padded_) >= n) return;
    ReadPadded(n);
  }
  // Bits of Count() that are the stream's own rather than zeros standing in
  // for bytes past a window's limit.
  int RealCount() const { return static_cast<int>(count_ - padded_); }

  // The reader's state as plain values, for a loop that keeps it in
  // registers: the next byte to fetch, the accumulator and its bit count.
  // Restore takes back a state that keeps the reader's rules: a count of at
  // most kWordBits, and below it only zeros or the stream's own next bits,
  // with no bytes past the held ones.
  struct Registers {
    const uint8_t* next;
    Word accumulator;
    uint32_t count;
  };
  Registers Save() const { return {cursor_, accumulator_, count_}; }
  void Restore(const Registers& registers) {
    cursor_ = registers.next;
    accumulator_ = registers.accumulator;
    count_ = registers.count;
  }

  // The held bytes, for a loop that reads them itself: the first of them
  // (aligned as the file is from its start when the reader has a window)
  // and the end.
  const uint8_t* Origin() const { return origin_; }
  const uint8_t* HeldEnd() const { return heldEnd_; }

  // Bits consumed since the start of the stream.
  uint64_t ConsumedBits() const { return (FetchOffset() - start_) * 8 - count_; }
  // True once a consumed bit lay past the end of the file.
  bool ConsumedPastEnd() const {
    const uint64_t available = fileSize_ > start_ ? (fileSize_ - start_) * 8 : 0;
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

  size_t HeldAhead() const { return overrun_ == 0 ? static_cast<size_t>(heldEnd_ - cursor_) : 0; }

  // File offset of the next byte to fetch.
  uint64_t FetchOffset() const {
    return originOffset_ + static_cast<uint64_t>(cursor_ - origin_) + overrun_;
  }

  // Points into the window again after it moved, at the fetch offset.
  void Rebase(uint64_t fetch) {
    origin_ = window_->bytes;
    originOffset_ = window_->base;
    heldEnd_ = origin_ + window_->held;
    const uint64_t end = window_->End();
    cursor_ = origin_ + ((fetch < end ? fetch : end) - originOffset_);
    overrun_ = static_cast<uint32_t>(fetch < end ? 0 : fetch - end);
  }

  // Asks a window for `bytes` bytes from the fetch offset; true when it
  // holds them then. The window keeps the bytes of the bits not consumed
  // yet too, so that a loop that reads the held bytes itself (see Save)
  // finds them.
  bool Extend(size_t bytes) {
    if (window_ == nullptr || overrun_ != 0) return false;
    const uint64_t fetch = FetchOffset();
    const uint64_t unconsumed = fetch - (fetch * 8 - count_) / 8;
    const size_t held =
        window_->Refill(fetch - unconsumed, static_cast<size_t>(unconsumed) + bytes, false);
    Rebase(fetch);
    return held >= unconsumed + bytes;
  }

  // One byte at a time up to the bits Refill promises: held bytes as they
  // are; past the file's end zeros; past a window's limit zeros standing in
  // for the stream's bytes (padded_).
  void RefillNearEnd() {
    while (count_ <= kWordBits - 16) {
      Word byte = 0;
      if (HeldAhead() > 0 || Extend(1)) {
        byte = *cursor_++;
      } else {
        // Zeros stand in from the first byte the window may not read ahead
        // to on (past the file's end too, once they have started).
        if (window_ != nullptr && (padded_ != 0 || FetchOffset() < fileSize_)) padded_ += 8;
        ++overrun_;
      }
      accumulator_ |= byte << (kWordBits - 8 - count_);
      count_ += 8;
    }
  }

  // Reads the stream's bytes that zeros stand in for, until n bits are its
  // own or the file ends.
  void ReadPadded(int n) {
    while (padded_ > 0 && static_cast<int>(count_ - padded_) < n) {
      const uint64_t offset = FetchOffset() - padded_ / 8;
      if (window_->Refill(offset, 1, true) == 0) {
        padded_ = 0;  // past the end of the file (or unreadable): zeros
        return;
      }
      const Word byte = window_->bytes[offset - window_->base];
      accumulator_ |= byte << (kWordBits - 8 - (count_ - padded_));
      padded_ -= 8;
      Rebase(FetchOffset());
    }
  }

  ByteWindow* window_ = nullptr;  // null for a file in memory
  const uint8_t* origin_ = nullptr;
  const uint8_t* cursor_ = nullptr;   // the next byte to fetch, when held
  const uint8_t* heldEnd_ = nullptr;  // just past the held bytes
  uint64_t originOffset_ = 0;         // file offset of *origin_
  uint64_t fileSize_;
  uint64_t start_;
  uint32_t overrun_ = 0;  // bytes fetched (as zeros) past the held ones
  uint32_t padded_ = 0;   // low bits of the count that stand in for bytes past the limit
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
