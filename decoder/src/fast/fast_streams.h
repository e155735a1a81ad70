// The symbol stream and the raw-pixel stream of one fast-path decode, and the
// two ways a block reads them: in the block loop, from pointers held in
// registers, where the loop has made sure that the block's symbol bytes lie
// inside the file and only the rare raw-pixel reads check the file's end;
// and checked, read by read, for the few blocks the loop leaves.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>

#include "common/held_bytes.h"
#include "common/little_endian.h"
#include "fast/fast_delta_table.h"
#include "fast/fast_symbols.h"

namespace vexo {

struct FastStreams {
  HeldBytes symbols;
  HeldBytes raws;
  int64_t symbol;  // file offset of the next symbol byte
  int64_t raw;     // file offset of the next raw pixel
  bool pastEnd = false;

  // The most bytes of raw pixels one block reads: 16 of 2 bytes.
  static constexpr int64_t kMostRawBytesPerBlock = 32;

  // Whether a block may read the symbol stream without checks: as much as
  // the widest block's symbols are cut from is held.
  bool SymbolsAhead() { return symbols.Hold(symbol, kFastSymbolReadBytes, false); }
  // Whether the block loop may read raw pixels without a call: the next
  // lies where the stream may be held, and a block's worth after it is
  // held, or all there is up to the end of the file (a window is refilled
  // first where it holds less).
  bool RawsServeABlock() {
    if (RawsHeldToFileEnd() || raws.end - raw >= kMostRawBytesPerBlock) return RawInReach();
    raws.Hold(raw, kMostRawBytesPerBlock, false);
    return RawInReach() && (RawsHeldToFileEnd() || raws.end - raw >= kMostRawBytesPerBlock);
  }
  bool RawsHeldToFileEnd() const {
    return raws.window == nullptr || raws.end >= static_cast<int64_t>(raws.window->fileSize);
  }
  bool RawInReach() const { return raw >= raws.base && raw <= raws.end; }
};

// The streams of the block loop, which makes no call. Symbol bytes are read
// without checks: the loop checks before each block that SymbolsAhead()
// would hold. Raw pixels are read from the bytes held: once fewer than a
// block's worth are left in a window, the loop ends after the block, for
// the window to be refilled (see RawsServeABlock); past the end of the
// file a raw pixel reads as 0 and stops the loop after the block, as the
// checked reads do. Works on its own pointers, so that they stay in
// registers while the block's pixels are stored, and hands the positions
// back when it goes.
class LoopStreams {
 public:
  explicit LoopStreams(FastStreams& streams)
      : owner_(streams),
        symbol_(streams.symbols.At(streams.symbol)),
        raw_(streams.raws.At(streams.raw)),
        lastRaw_(streams.raws.At(
            streams.raws.end -
            (streams.RawsHeldToFileEnd() ? 2 : 2 + FastStreams::kMostRawBytesPerBlock))),
        lastSymbol_(
            streams.symbols.At(streams.symbols.end - static_cast<int64_t>(kFastSymbolReadBytes))),
        lastHeldRaw_(streams.raws.At(streams.raws.end - 2)) {}
  ~LoopStreams() {
    owner_.symbol = owner_.symbols.base + (symbol_ - owner_.symbols.bytes);
    owner_.raw = owner_.raws.base + (raw_ - owner_.raws.bytes);
  }
  LoopStreams(const LoopStreams&) = delete;
  LoopStreams& operator=(const LoopStreams&) = delete;

  // Whether the loop may decode another block: its symbol bytes are held,
  // and the raw pixels read so far left a block's worth held.
  bool MayDecodeBlock() const { return symbol_ <= lastSymbol_; }
  bool PastEnd() const { return pastEnd_; }

  const uint8_t* SymbolBytes(int count) {
    const uint8_t* bytes = symbol_;
    symbol_ += count;
    return bytes;
  }
  uint32_t NextRaw() {
    if (raw_ > lastRaw_) [[unlikely]] {
      lastSymbol_ = nullptr;  // no further block
      if (raw_ > lastHeldRaw_) {
        pastEnd_ = true;
        return 0;
      }
    }
    const uint32_t pixel = ReadLe16(raw_);
    raw_ += 2;
    return pixel;
  }

 private:
  FastStreams& owner_;
  const uint8_t* symbol_;
  const uint8_t* raw_;
  // The last raw pixel the loop reads without a second look: the last held
  // from a file in memory; in a window the last that leaves a block's worth
  // held after it (a block starts only with that much held).
  const uint8_t* lastRaw_;
  const uint8_t* lastSymbol_;
  const uint8_t* lastHeldRaw_;
  bool pastEnd_ = false;
};

// Reads with a check each, through the windows. A read outside the file
// sets pastEnd and yields zeros; the decoder then stops after the block.
class CheckedStreams {
 public:
  explicit CheckedStreams(FastStreams& streams) : s_(streams) {}

  // The block's symbol bytes, copied into a zero-padded buffer so that the
  // symbol cutting may read a whole number of words.
  const uint8_t* SymbolBytes(int count) {
    if (!s_.symbols.Hold(s_.symbol, static_cast<size_t>(count), true)) {
      s_.pastEnd = true;
    } else {
      std::memcpy(padded_.data(), s_.symbols.At(s_.symbol), static_cast<size_t>(count));
    }
    s_.symbol += count;
    return padded_.data();
  }
  uint32_t NextRaw() {
    if (!s_.raws.Hold(s_.raw, 2, true)) {
      s_.pastEnd = true;
      return 0;
    }
    const uint16_t pixel = ReadLe16(s_.raws.At(s_.raw));
    s_.raw += 2;
    return pixel;
  }

 private:
  FastStreams& s_;
  std::array<uint8_t, kFastSymbolReadBytes> padded_{};
};

}  // namespace vexo
