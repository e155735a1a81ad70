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
#include "common/stream_cursor.h"
#include "fast/fast_delta_table.h"
#include "fast/fast_symbols.h"

namespace vexo {

struct FastStreams {
  StreamCursor symbols;
  StreamCursor raws;
  bool pastEnd = false;

  // The most bytes of raw pixels one block reads: 16 of 2 bytes.
  static constexpr ptrdiff_t kMostRawBytesPerBlock = 32;

  // Whether a block may read the symbol stream without checks: as much as
  // the widest block's symbols are cut from is held.
  bool SymbolsAhead() { return symbols.Hold(kFastSymbolReadBytes, false); }
  // Whether the block loop may read raw pixels without a call: the next
  // lies where the stream may be held, and a block's worth after it is
  // held, or all there is up to the end of the file (a window is refilled
  // first where it holds less).
  bool RawsServeABlock() {
    if (raws.Next() != nullptr && raws.HeldAhead() >= kMostRawBytesPerBlock) return true;
    if (!raws.HeldToFileEnd()) raws.Hold(kMostRawBytesPerBlock, false);
    return raws.Next() != nullptr &&
           (raws.HeldToFileEnd() || raws.HeldAhead() >= kMostRawBytesPerBlock);
  }
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
  // `symbolSlack`: the symbol bytes held from a block's start on that let
  // it start (fewer where the caller has counted the blocks whose symbols
  // lie among the bytes held).
  explicit LoopStreams(FastStreams& streams, size_t symbolSlack = kFastSymbolReadBytes)
      : owner_(streams),
        symbol_(streams.symbols.Next()),
        raw_(streams.raws.Next()),
        lastRaw_(streams.raws.HeldEnd() -
                 (streams.raws.HeldToFileEnd() ? 2 : 2 + FastStreams::kMostRawBytesPerBlock)),
        lastSymbol_(streams.symbols.HeldEnd() - symbolSlack),
        lastHeldRaw_(streams.raws.HeldEnd() - 2) {}
  ~LoopStreams() {
    owner_.symbols.MoveTo(symbol_);
    owner_.raws.MoveTo(raw_);
  }
  LoopStreams(const LoopStreams&) = delete;
  LoopStreams& operator=(const LoopStreams&) = delete;

  // Whether the loop may decode another block: its symbol bytes are held,
  // and the raw pixels read so far left a block's worth held.
  bool MayDecodeBlock() const { return symbol_ <= lastSymbol_; }
  bool PastEnd() const { return pastEnd_; }

  [[gnu::always_inline]] const uint8_t* SymbolBytes(int count) {
    const uint8_t* bytes = symbol_;
    symbol_ += count;
    return bytes;
  }
  [[gnu::always_inline]] uint32_t NextRaw() {
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
    const auto bytes = static_cast<size_t>(count);
    if (!s_.symbols.Hold(bytes, true)) {
      s_.pastEnd = true;
    } else {
      std::memcpy(padded_.data(), s_.symbols.Next(), bytes);
    }
    s_.symbols.Skip(bytes);
    return padded_.data();
  }
  uint32_t NextRaw() {
    if (!s_.raws.Hold(2, true)) {
      s_.pastEnd = true;
      return 0;
    }
    const uint16_t pixel = ReadLe16(s_.raws.Next());
    s_.raws.Skip(2);
    return pixel;
  }

 private:
  FastStreams& s_;
  std::array<uint8_t, kFastSymbolReadBytes> padded_{};
};

}  // namespace vexo
