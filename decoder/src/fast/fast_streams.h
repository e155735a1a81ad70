// The symbol stream and the raw-pixel stream of one fast-path decode, and the
// two ways a block reads them: in the block loop, from pointers held in
// registers, where the loop has made sure that the block's symbol bytes lie
// inside the file and only the rare raw-pixel reads check the file's end;
// and checked, read by read, for the few blocks the loop leaves.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>

#include "common/little_endian.h"
#include "fast/fast_delta_table.h"
#include "fast/fast_symbols.h"

namespace vexo {

struct FastStreams {
  const uint8_t* file;
  int64_t fileSize;
  int64_t symbol;  // file offset of the next symbol byte
  int64_t raw;     // file offset of the next raw pixel
  bool pastEnd = false;

  // Whether a block may read the symbol stream without checks: as much as
  // the widest block's symbols are cut from lies in the file.
  bool SymbolsAhead() const {
    return symbol >= 0 && symbol <= fileSize - static_cast<int64_t>(kFastSymbolReadBytes);
  }
};

// The streams of the block loop. Symbol bytes are read without checks: the
// loop checks before each block that SymbolsAhead() would hold. A raw pixel
// past the end of the file reads as 0 and stops the loop after the block,
// as the checked reads do. Works on its own pointers, so that they stay in
// registers while the block's pixels are stored, and hands the positions
// back when it goes.
class LoopStreams {
 public:
  explicit LoopStreams(FastStreams& streams)
      : owner_(streams),
        symbol_(streams.file + streams.symbol),
        raw_(streams.file + streams.raw),
        lastRaw_(streams.file + streams.fileSize - 2),
        lastSymbol_(streams.file + streams.fileSize - kFastSymbolReadBytes) {}
  ~LoopStreams() {
    owner_.symbol = symbol_ - owner_.file;
    owner_.raw = raw_ - owner_.file;
  }
  LoopStreams(const LoopStreams&) = delete;
  LoopStreams& operator=(const LoopStreams&) = delete;

  // Whether the loop may decode another block: its symbol bytes are in the
  // file, and no raw pixel read so far lay past its end.
  bool MayDecodeBlock() const { return symbol_ <= lastSymbol_; }
  bool PastEnd() const { return lastSymbol_ == nullptr; }

  const uint8_t* SymbolBytes(int count) {
    const uint8_t* bytes = symbol_;
    symbol_ += count;
    return bytes;
  }
  uint32_t NextRaw() {
    if (raw_ > lastRaw_) [[unlikely]] {
      lastSymbol_ = nullptr;  // no further block
      return 0;
    }
    const uint32_t pixel = ReadLe16(raw_);
    raw_ += 2;
    return pixel;
  }

 private:
  FastStreams& owner_;
  const uint8_t* symbol_;
  const uint8_t* raw_;
  const uint8_t* lastRaw_;
  const uint8_t* lastSymbol_;
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
  uint32_t NextRaw() {
    if (s_.raw < 0 || s_.raw > s_.fileSize - 2) {
      s_.pastEnd = true;
      return 0;
    }
    const uint16_t pixel = ReadLe16(s_.file + s_.raw);
    s_.raw += 2;
    return pixel;
  }

 private:
  FastStreams& s_;
  std::array<uint8_t, kFastSymbolReadBytes> padded_{};
};

}  // namespace vexo
