// The symbol stream and the raw-pixel stream of one fast-path decode, and the
// two ways a block reads them: unchecked, when the decoder has made sure that
// the block's bytes lie inside the file, and checked, near either end of the
// file, where a read outside it is recorded instead of made.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>

#include "common/little_endian.h"
#include "fast/fast_delta_table.h"
#include "fast/fast_symbols.h"

namespace vexo {

// Bytes one block may take from the raw-pixel stream: 16 pixels.
inline constexpr int64_t kFastRawBlockBytes = 2 * kFastBlockPixels;
// Bytes the widest delta block takes from the symbol stream.
inline constexpr int64_t kFastSymbolBlockBytes = 2 * kFastMaxSymbolBits;

struct FastStreams {
  const uint8_t* file;
  int64_t fileSize;
  int64_t symbol;  // file offset of the next symbol byte
  int64_t raw;     // file offset of the next raw pixel
  bool pastEnd = false;

  // Whether a block may read the symbol stream, or the raw-pixel stream,
  // without checks: as much as the widest block can take lies in the file.
  bool SymbolsAhead() const {
    return symbol >= 0 && symbol <= fileSize - static_cast<int64_t>(kFastSymbolReadBytes);
  }
  bool RawAhead() const { return raw >= 0 && raw <= fileSize - kFastRawBlockBytes; }
};

// Reads without bounds checks; valid only for the blocks the decoder has
// counted as safe (each within SymbolsAhead() and RawAhead() of its start).
// Works on its own copies of the positions, so that they stay in registers
// while the block's pixels are stored, and hands them back when it goes.
class UncheckedStreams {
 public:
  explicit UncheckedStreams(FastStreams& streams)
      : owner_(streams), file_(streams.file), symbol_(streams.symbol), raw_(streams.raw) {}
  ~UncheckedStreams() {
    owner_.symbol = symbol_;
    owner_.raw = raw_;
  }
  UncheckedStreams(const UncheckedStreams&) = delete;
  UncheckedStreams& operator=(const UncheckedStreams&) = delete;

  const uint8_t* SymbolBytes(int count) {
    const uint8_t* bytes = file_ + symbol_;
    symbol_ += count;
    return bytes;
  }
  uint16_t NextRaw() {
    const uint16_t pixel = ReadLe16(file_ + raw_);
    raw_ += 2;
    return pixel;
  }
  uint16_t DeltaPixel(uint32_t symbol, uint16_t predecessor, const FastSymbolDeltas& deltas) {
    return symbol == 0 ? NextRaw() : static_cast<uint16_t>(predecessor + deltas[symbol]);
  }

 private:
  FastStreams& owner_;
  const uint8_t* file_;
  int64_t symbol_;
  int64_t raw_;
};

// Reads with a bounds check each. A read outside the file sets pastEnd and
// yields zeros; the decoder then stops after the block.
class CheckedStreams {
 public:
  explicit CheckedStreams(FastStreams& streams) : s_(streams) {}

  // The block's symbol bytes, copied into a zero-padded buffer so that the
  // symbol cutting may read a whole number of words.
  const uint8_t* SymbolBytes(int count) {
    if (s_.symbol < 0 || s_.symbol > s_.fileSize - count) {
      s_.pastEnd = true;
    } else {
      std::memcpy(padded_.data(), s_.file + s_.symbol, static_cast<size_t>(count));
    }
    s_.symbol += count;
    return padded_.data();
  }
  uint16_t NextRaw() {
    if (s_.raw < 0 || s_.raw > s_.fileSize - 2) {
      s_.pastEnd = true;
      return 0;
    }
    const uint16_t pixel = ReadLe16(s_.file + s_.raw);
    s_.raw += 2;
    return pixel;
  }
  uint16_t DeltaPixel(uint32_t symbol, uint16_t predecessor, const FastSymbolDeltas& deltas) {
    return symbol == 0 ? NextRaw() : static_cast<uint16_t>(predecessor + deltas[symbol]);
  }

 private:
  FastStreams& s_;
  std::array<uint8_t, kFastSymbolReadBytes> padded_{};
};

}  // namespace vexo
