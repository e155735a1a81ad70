#include "fast/fast_rows.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <limits>
#include <utility>

#include "common/compact_delta_table.h"
#include "common/little_endian.h"
#include "fast/fast_block_modes.h"
#include "fast/fast_delta_table.h"

namespace vexo {
namespace {

constexpr std::array<uint16_t, kFastBlockSize> kNothingAbove{};

bool IsDefinedMode(uint32_t mode) {
  return mode <= kFastModeFill;
}

// A block row seen as rows that follow each other `width` pixels apart: the
// block at linear position p (row x width + column from the block row's
// first pixel) has its top-left pixel at row p / width, column p % width,
// and the positions before the first (-width to -1) are the row above, or 0
// above the picture. For the few blocks the block loop leaves.
struct BlockRowView {
  uint16_t* rows;
  int64_t width;
  ptrdiff_t stride;
  const uint16_t* above;

  uint16_t& At(int64_t position) const {
    if (stride == width) return rows[position];
    return rows[position / width * stride + position % width];
  }
  uint16_t Read(int64_t position) const {
    if (position >= 0) return At(position);
    return above != nullptr ? above[width + position] : uint16_t{0};
  }
};

// The whole picture the same way, where a block may lie anywhere after an
// undefined mode; above the first row the chains start from 0.
struct LinearPicture {
  uint16_t* image;
  int64_t width;
  ptrdiff_t stride;

  uint16_t& At(int64_t position) const {
    if (stride == width) return image[position];
    return image[position / width * stride + position % width];
  }
  uint16_t Read(int64_t position) const { return position >= 0 ? At(position) : uint16_t{0}; }
};

template <int... kBits>
FastSymbols CutSymbolsOfWidth(int bits, const uint8_t* bytes,
                              std::integer_sequence<int, kBits...>) {
  FastSymbols symbols{};
  ((bits == kBits + 1 ? (symbols = CutSymbols<kBits + 1>(bytes), 0) : 0), ...);
  return symbols;
}

// The 16 symbols of a block of symbol width `bits`: cut with a routine per
// width by the speed policy, by one loop over a bit window by the small one.
template <class Policy>
FastSymbols BlockSymbols(int bits, const uint8_t* bytes) {
  if constexpr (Policy::kSmall) {
    FastSymbols symbols{};
    uint32_t window = 0;
    int held = 0;
    for (int k = 0; k < kFastBlockPixels; ++k) {
      while (held < bits) {
        window = window << 8 | *bytes++;
        held += 8;
      }
      held -= bits;
      symbols[k] = window >> held & ((1u << bits) - 1);
    }
    return symbols;
  } else {
    return CutSymbolsOfWidth(bits, bytes, std::make_integer_sequence<int, kFastMaxSymbolBits>{});
  }
}

// The deltas of the symbols: the speed policy's table of every symbol's
// scaled delta (2 KB a scale), or the small policy's compact table and the
// scale.
struct FastDeltas {
  const FastSymbolDeltas* bySymbol;  // nullptr in the small policy
  int scale;
};

template <class Policy>
FastDeltas DeltasFor(uint8_t quality) {
  const int scale = UsesCoarseDeltas(quality) ? 2 : 1;
  if constexpr (Policy::kSmall) return {nullptr, scale};
  return {&FastSymbolDeltasForQuality(quality), scale};
}

// The pixel of `symbol` after `predecessor`: a raw pixel for 0, a copy for
// 1, the delta of entry symbol - 1 of the table otherwise.
template <class Policy, class Streams>
uint32_t NextCheckedPixel(Streams& streams, uint32_t symbol, uint32_t predecessor,
                          const FastDeltas& deltas) {
  if constexpr (Policy::kSmall) {
    if (symbol == 0) return streams.NextRaw();
    if (symbol == 1) return predecessor;
    return predecessor + CompactDelta(static_cast<int>(symbol) - 2, deltas.scale);
  } else {
    return fast_detail::NextPixel<kFastMaxSymbolBits>(streams, symbol, predecessor,
                                                      *deltas.bySymbol);
  }
}

// One block of a defined mode at a linear position, every read checked;
// false when it read outside the file.
template <class Policy, class View>
bool DecodeCheckedBlock(uint32_t code, const View& view, int64_t offset, FastStreams& streams,
                        const FastDeltas& deltas) {
  CheckedStreams reader(streams);
  const int mode = static_cast<int>(code & kFastModeMask);
  const int64_t w = view.width;
  if (mode == kFastModeRaw) {
    for (int i = 0; i < kFastBlockPixels; ++i) {
      view.At(offset + i / kFastBlockSize * w + i % kFastBlockSize) =
          static_cast<uint16_t>(reader.NextRaw());
    }
    return !streams.pastEnd;
  }
  const bool fill = mode == kFastModeFill;
  const FastSymbols symbols =
      fill ? FastSymbols{} : BlockSymbols<Policy>(mode, reader.SymbolBytes(2 * mode));
  const bool vertical = (code & kFastVerticalBit) != 0;
  for (int chain = 0; chain < kFastBlockSize; ++chain) {
    const int64_t first = vertical ? offset + chain : offset + chain * w;
    const int64_t step = vertical ? w : 1;
    uint32_t value = view.Read(vertical ? first - w : first - 1);
    for (int k = 0; k < kFastBlockSize; ++k) {
      if (!fill) {
        value =
            NextCheckedPixel<Policy>(reader, symbols[kFastBlockSize * chain + k], value, deltas);
      }
      view.At(first + k * step) = static_cast<uint16_t>(value);
    }
  }
  return !streams.pastEnd;
}

// The small policy's block in its regular place, at column x of the block
// row: raw pixels read with a check each, symbols cut from a window into
// which the block's symbol bytes come two at a time (a block's symbols fill
// whole pairs of bytes), each just before its pixel. False when the block
// needed data outside the file.
class SmallFastBlock {
 public:
  SmallFastBlock(const BlockRowTarget& t, int32_t width, int32_t x, FastStreams& streams, int scale)
      : t_(t), width_(width), x_(x), streams_(streams), scale_(scale) {}

  bool Decode(uint32_t code) {
    const int mode = static_cast<int>(code & kFastModeMask);
    uint16_t* const pixels = t_.rows + x_;
    if (mode == kFastModeRaw) {
      for (int r = 0; r < kFastBlockSize; ++r) {
        for (int c = 0; c < kFastBlockSize; ++c) {
          pixels[r * t_.stride + c] = static_cast<uint16_t>(NextRaw());
        }
      }
      return !streams_.pastEnd;
    }
    // A fill reads no stream: wherever its symbol stream points.
    const int bits = mode == kFastModeFill ? 0 : mode;
    if (bits != 0) {
      if (!streams_.symbols.Hold(static_cast<size_t>(2 * bits), true)) return false;
      symbolBytes_ = streams_.symbols.Next();
      streams_.symbols.Skip(static_cast<size_t>(2 * bits));
    }
    const bool vertical = (code & kFastVerticalBit) != 0;
    const ptrdiff_t step = vertical ? t_.stride : 1;
    for (int chain = 0; chain < kFastBlockSize; ++chain) {
      uint16_t* pixel = pixels + (vertical ? chain : chain * t_.stride);
      uint32_t value = ChainStart(vertical, chain);
      for (int k = 0; k < kFastBlockSize; ++k, pixel += step) {
        if (bits != 0) value = NextPixel(NextSymbol(bits), value);
        *pixel = static_cast<uint16_t>(value);
      }
    }
    return !streams_.pastEnd;
  }

 private:
  // Past either end of the file: 0, and the decode fails after the block.
  uint32_t NextRaw() {
    StreamCursor& raws = streams_.raws;
    if (!raws.Hold(2, true)) {
      streams_.pastEnd = true;
      return 0;
    }
    const uint8_t* const pixel = raws.Next();
    raws.MoveTo(pixel + 2);
    return ReadLe16(pixel);
  }

  // The pixel just outside the block where a chain starts, read when the
  // chain begins (in a picture one block wide, the pixel left of a row is
  // the block's own, of the row above). Above the picture, and left of its
  // first pixel, 0.
  uint32_t ChainStart(bool vertical, int chain) const {
    if (vertical) return t_.above != nullptr ? t_.above[x_ + chain] : 0u;
    if (x_ > 0) return t_.rows[chain * t_.stride + x_ - 1];
    if (chain > 0) return t_.rows[(chain - 1) * t_.stride + width_ - 1];
    return t_.above != nullptr ? t_.above[width_ - 1] : 0u;
  }

  uint32_t NextSymbol(int bits) {
    if (held_ < bits) {
      window_ = window_ << 16 | static_cast<uint32_t>(symbolBytes_[0]) << 8 | symbolBytes_[1];
      symbolBytes_ += 2;
      held_ += 16;
    }
    held_ -= bits;
    return window_ >> held_ & ((1u << bits) - 1);
  }

  // A raw pixel for symbol 0, a copy for 1, else the delta of entry
  // symbol - 1 of the fast path's table (symbol - 2 of the compact one).
  uint32_t NextPixel(uint32_t symbol, uint32_t predecessor) {
    if (symbol == 0) return NextRaw();
    if (symbol == 1) return predecessor;
    return predecessor + CompactDelta(static_cast<int>(symbol) - 2, scale_);
  }

  const BlockRowTarget& t_;
  int32_t width_;
  int32_t x_;
  FastStreams& streams_;
  int scale_;
  const uint8_t* symbolBytes_ = nullptr;
  uint32_t window_ = 0;
  int held_ = 0;
};

// Runs the block operation of a block code (direction bit and mode), chosen
// by one switch over all 32 codes so that every operation is inlined into
// the block loop, with the streams' pointers in registers, and the undefined
// modes cost no test of their own. False for an undefined mode.
template <class Streams>
[[gnu::always_inline]] inline bool RunBlock(uint32_t code, Streams& streams,
                                            const FastBlockPlace& place,
                                            const FastSymbolDeltas& deltas) {
  constexpr uint32_t kV = kFastVerticalBit;
  switch (code) {
    case kFastModeRaw:
    case kV | kFastModeRaw:
      FastModeRaw(streams, place);
      break;
    case 1:
      FastModeDelta<1, false>(streams, place, deltas);
      break;
    case 2:
      FastModeDelta<2, false>(streams, place, deltas);
      break;
    case 3:
      FastModeDelta<3, false>(streams, place, deltas);
      break;
    case 4:
      FastModeDelta<4, false>(streams, place, deltas);
      break;
    case 5:
      FastModeDelta<5, false>(streams, place, deltas);
      break;
    case 6:
      FastModeDelta<6, false>(streams, place, deltas);
      break;
    case 7:
      FastModeDelta<7, false>(streams, place, deltas);
      break;
    case 8:
      FastModeDelta<8, false>(streams, place, deltas);
      break;
    case 9:
      FastModeDelta<9, false>(streams, place, deltas);
      break;
    case kFastModeFill:
      FastModeFill<false>(place);
      break;
    case kV | 1:
      FastModeDelta<1, true>(streams, place, deltas);
      break;
    case kV | 2:
      FastModeDelta<2, true>(streams, place, deltas);
      break;
    case kV | 3:
      FastModeDelta<3, true>(streams, place, deltas);
      break;
    case kV | 4:
      FastModeDelta<4, true>(streams, place, deltas);
      break;
    case kV | 5:
      FastModeDelta<5, true>(streams, place, deltas);
      break;
    case kV | 6:
      FastModeDelta<6, true>(streams, place, deltas);
      break;
    case kV | 7:
      FastModeDelta<7, true>(streams, place, deltas);
      break;
    case kV | 8:
      FastModeDelta<8, true>(streams, place, deltas);
      break;
    case kV | 9:
      FastModeDelta<9, true>(streams, place, deltas);
      break;
    case kV | kFastModeFill:
      FastModeFill<true>(place);
      break;
    default:
      return false;
  }
  return true;
}

// Whether the block loop refills the windows that run low itself, between
// passes of its inner loop, or leaves that to a loop around it
// (DecodeRegularBlocksRefilling), which costs each refill a call of the
// block loop. Refilling itself costs the loop nothing where the instruction set
// leaves it registers to spare. In Thumb-1 (the ARM7TDMI's Thumb state, the
// Cortex-M0 and M0+), whose loop already keeps values on the stack, the call
// it would then hold makes every block 10 to 14% dearer.
#if defined(__thumb__) && !defined(__thumb2__)
constexpr bool kLoopRefillsItself = false;
#else
constexpr bool kLoopRefillsItself = true;
#endif

// Where the block loop runs: the first block's top-left pixel, the row
// above its row (nullptr above the picture) and the offset from a block's
// row 0 to the pixel left of it, for the first block (for the others it is
// -1). Through windows, where the loop refills itself, the decoder whose
// windows it refills where the bytes held run out before the block row's
// last block (`rowBlocks` from the first); nullptr to leave that to the
// caller. The symbol bytes held that let a block start: fewer than a cutter
// may read only for blocks counted by BlocksWithinHeldSymbols.
struct RegularRun {
  uint16_t* first;
  ptrdiff_t stride;
  const uint16_t* above;
  ptrdiff_t firstLeftOffset;
  FastRows<SpeedPolicy>* refill = nullptr;
  int32_t rowBlocks = 0;
  size_t symbolSlack = kFastSymbolReadBytes;
};

// What the block loop ended with.
struct RunEnd {
  int32_t blocks;  // decoded, the undefined one not counted
  bool undefined;
};

int32_t MoreRegularBlocks(FastRows<SpeedPolicy>& f, int32_t wanted, int32_t codesLeft);

// The block loop: decodes up to `count` blocks in their regular places with
// the positions held in registers, for as long as the symbol stream has room
// for a block; where it refills itself (run.refill), up to the block
// row's end. Sets streams.pastEnd when a raw pixel lay outside the file.
// Out of line, so that its routines are in the program once.
[[gnu::noinline, maybe_unused]] RunEnd DecodeRegularBlocks(FastCodeReader& codeReader,
                                                           FastStreams& streams,
                                                           const RegularRun& run, int32_t count,
                                                           const FastSymbolDeltas& deltas) {
  uint16_t* const start = run.first;
  uint16_t* end = start + kFastBlockSize * count;
  uint16_t* const rowEnd = start + kFastBlockSize * run.rowBlocks;
  const ptrdiff_t stride = run.stride;
  const uint16_t* above = run.above != nullptr ? run.above : kNothingAbove.data();
  const ptrdiff_t aboveStep = run.above != nullptr ? kFastBlockSize : 0;
  ptrdiff_t leftOffset = run.firstLeftOffset;
  uint16_t* pixels = start;
  bool undefined = false;
  FastCodeReader codes = codeReader;
  for (;;) {
    {
      LoopStreams reader(streams, run.symbolSlack);
      for (; pixels != end && reader.MayDecodeBlock(); pixels += kFastBlockSize) {
        __asm__("" : "+r"(pixels));
        if (!RunBlock(codes.Next(), reader,
                      FastBlockPlace{pixels, stride, above, pixels + leftOffset}, deltas))
            [[unlikely]] {
          undefined = true;
          break;
        }
        above += aboveStep;
        leftOffset = -1;
      }
      codeReader = codes;
      streams.pastEnd = reader.PastEnd();
    }
    if (!kLoopRefillsItself || pixels == rowEnd || run.refill == nullptr || undefined ||
        streams.pastEnd) {
      break;
    }
    const auto blocksLeft = static_cast<size_t>(rowEnd - pixels) / kFastBlockSize;
    const auto codesLeft = static_cast<size_t>(end - pixels) / kFastBlockSize;
    const int32_t more = MoreRegularBlocks(*run.refill, static_cast<int32_t>(blocksLeft),
                                           static_cast<int32_t>(codesLeft));
    if (more == 0) break;
    codes = codeReader;
    end = pixels + kFastBlockSize * more;
  }
  return {static_cast<int32_t>(static_cast<size_t>(pixels - start) / kFastBlockSize), undefined};
}

// The block loop through windows where it does not refill itself: where
// the bytes held run out before the block row's end, the windows that ran
// low are refilled and the loop called again, rather than leave the rest to
// the walk, whose way back into the loop costs several times as much.
[[maybe_unused]] RunEnd DecodeRegularBlocksRefilling(FastRows<SpeedPolicy>& f, RegularRun run,
                                                     int32_t count,
                                                     const FastSymbolDeltas& deltas) {
  int32_t done = 0;
  for (;;) {
    const RunEnd end = DecodeRegularBlocks(f.codes, f.streams, run, count, deltas);
    done += end.blocks;
    if (end.undefined || f.streams.pastEnd || end.blocks == run.rowBlocks) {
      return {done, end.undefined};
    }
    const int32_t more = MoreRegularBlocks(f, run.rowBlocks - end.blocks, count - end.blocks);
    if (more == 0) return {done, false};
    const ptrdiff_t moved = ptrdiff_t{kFastBlockSize} * end.blocks;
    run.first += moved;
    if (run.above != nullptr) run.above += moved;
    if (end.blocks > 0) run.firstLeftOffset = -1;
    run.rowBlocks -= end.blocks;
    count = more;
  }
}

// Whether the block loop may start: the symbol bytes of a block and the raw
// pixels of a block are held (windows refilled first where they are not).
[[gnu::always_inline, maybe_unused]] inline bool LoopMayStart(FastStreams& streams) {
  return streams.SymbolsAhead() && streams.RawsServeABlock();
}

// The blocks from the next one on, at most `wanted` (whose codes are held),
// whose symbol cuts read only bytes held. Where fewer bytes than the widest
// cut are held (the end of the symbol stream in its window, which reads no
// further than the next stream's start), these still take the block loop.
[[maybe_unused]] int32_t BlocksWithinHeldSymbols(const FastRows<SpeedPolicy>& f, int32_t wanted) {
  const StreamCursor& symbols = f.streams.symbols;
  if (symbols.Next() == nullptr) return 0;
  const ptrdiff_t held = symbols.HeldAhead();
  FastCodeReader codes = f.codes;
  ptrdiff_t used = 0;
  int32_t count = 0;
  while (count < wanted) {
    const auto mode = static_cast<int>(codes.Next() & kFastModeMask);
    const bool delta = mode != kFastModeRaw && mode <= kFastMaxSymbolBits;
    if (delta && used + static_cast<ptrdiff_t>(FastSymbolBytesRead(mode)) > held) break;
    if (delta) used += 2 * mode;
    ++count;
    if (!IsDefinedMode(static_cast<uint32_t>(mode))) break;  // the loop reports it
  }
  return count;
}

// CodesHeld where the bytes held may not hold `wanted` codes.
template <class Policy>
[[gnu::noinline]] int32_t CodesHeldCounted(FastRows<Policy>& f, int32_t wanted) {
  StreamCursor& held = f.codeBytes;
  if (held.HeldToFileEnd()) return wanted;
  held.MoveTo(f.codes.nextByte);
  const auto heldBits = [&] { return held.HeldAhead() * 8 + f.codes.bitsLeft; };
  if (heldBits() < kFastBlockCodeBits) {
    const auto bytes =
        static_cast<size_t>((int64_t{wanted} * kFastBlockCodeBits - f.codes.bitsLeft + 7) / 8);
    if (!held.Hold(bytes, false)) held.Hold(1, true);
    if (held.Next() == nullptr) return 0;
    f.codes.nextByte = held.Next();
  }
  const ptrdiff_t bits = heldBits();
  if (bits >= ptrdiff_t{wanted} * kFastBlockCodeBits) return wanted;
  return static_cast<int32_t>(bits / kFastBlockCodeBits);
}

// Blocks from the next one on whose codes are held, at most `wanted`: all
// of them for a file in memory (it holds a code for every block), through a
// window as many as it holds, refilled once it holds none (so that a read
// brings in as many as the share takes). 0 when a read failed. Inline where
// the bytes held surely hold them all (a file in memory always does).
template <class Policy>
int32_t CodesHeld(FastRows<Policy>& f, int32_t wanted) {
  const ptrdiff_t bytesHeld = f.codeBytes.HeldEnd() - f.codes.nextByte;
  if (bytesHeld >= (ptrdiff_t{wanted} * kFastBlockCodeBits + 7) / 8) return wanted;
  return CodesHeldCounted(f, wanted);
}

// How many blocks from the next one on the block loop may decode once it
// stopped short, at most `wanted`, after refilling the windows that ran low:
// 0 where the checked decode must take the next block (or a read failed).
// `codesLeft`: blocks whose codes the loop was given and did not reach.
[[gnu::noinline, maybe_unused]] int32_t MoreRegularBlocks(FastRows<SpeedPolicy>& f, int32_t wanted,
                                                          int32_t codesLeft) {
  if (!LoopMayStart(f.streams)) return 0;
  // The codes held reach no further than when the loop was given them.
  return codesLeft > 0 ? codesLeft : CodesHeld(f, wanted);
}

void ClearRows(const BlockRowTarget& t, int32_t firstRow, int32_t endRow, int32_t firstColumn,
               int32_t width) {
  for (int32_t r = firstRow; r < endRow; ++r) {
    uint16_t* row = t.rows + r * t.stride;
    std::fill(row + firstColumn, row + width, uint16_t{0});
  }
}

// The output must equal a decode into a zero-filled buffer. In the regular
// block layout the only pixels read before they are written are the last
// column's (the starts of the horizontal chains in block column 0), and the
// columns and rows outside whole blocks are never written; all are cleared.
// False when the block row holds no whole block.
bool ClearOutsideBlocks(const BlockRowTarget& t, int32_t width, int32_t blocksPerRow) {
  if (t.rowCount < kFastBlockSize || blocksPerRow == 0) {
    ClearRows(t, 0, t.rowCount, 0, width);
    return false;
  }
  const int32_t covered = blocksPerRow * kFastBlockSize;
  if (covered < width) {
    ClearRows(t, 0, t.rowCount, covered, width);
  } else {
    uint16_t* last = t.rows + width - 1;
    last[0] = last[t.stride] = last[2 * t.stride] = last[3 * t.stride] = 0;
  }
  return true;
}

// An undefined mode shifts every later block, which may then read or leave
// any pixel not written yet. Up to the first such mode the layout is regular,
// so everything from block bx of the block row on is cleared once.
void ClearNotYetWritten(const BlockRowTarget& t, const WholePicture& picture, int32_t width,
                        int32_t bx) {
  ClearRows(t, 0, kFastBlockSize, bx * kFastBlockSize, width);
  for (int32_t y = t.firstRow + kFastBlockSize; y < picture.height; ++y) {
    std::fill_n(picture.pixels + y * picture.stride, width, uint16_t{0});
  }
}

// The rest of the picture after an undefined mode at block bx of the block
// row at `target`: every later block at the linear position the walk gives
// it. False when a block read outside the file.
template <class Policy>
bool DecodeShiftedRest(FastRows<Policy>& f, const BlockRowTarget& t, int32_t bx,
                       const FastDeltas& deltas) {
  const WholePicture& picture = *t.picture;
  ClearNotYetWritten(t, picture, f.width, bx);
  const LinearPicture view{picture.pixels, f.width, picture.stride};
  const ptrdiff_t rowStep = 3 * static_cast<ptrdiff_t>(f.width) + f.width % kFastBlockSize;
  int64_t offset = static_cast<int64_t>(t.firstRow) * f.width + bx * kFastBlockSize;
  const int32_t blockRows = f.height / kFastBlockSize;
  ++bx;
  for (int32_t by = t.firstRow / kFastBlockSize; by < blockRows; ++by, bx = 0) {
    for (; bx < f.blocksPerRow; ++bx) {
      const uint32_t code = f.codes.Next();
      if (!IsDefinedMode(code & kFastModeMask)) continue;
      if (!DecodeCheckedBlock<Policy>(code, view, offset, f.streams, deltas)) return false;
      offset += kFastBlockSize;
    }
    offset += rowStep;
  }
  return true;
}

// The first block of a block row apart from its rows, in a small picture of
// its own whose left column holds the pixels left of its rows (the end of
// the row above for row 0, and for rows 1 to 3 the last pixel of a row not
// decoded yet, 0), then copied into place; for when the row above does not
// lie in memory before the block row. The picture is wider than one block.
[[maybe_unused]] RunEnd DecodeFirstBlockApart(FastCodeReader& codes, FastStreams& streams,
                                              const BlockRowTarget& t, int32_t width,
                                              const FastSymbolDeltas& deltas) {
  constexpr ptrdiff_t kStride = 1 + kFastBlockSize;
  uint16_t apart[kFastBlockSize * kStride];
  apart[0] = t.above != nullptr ? t.above[width - 1] : uint16_t{0};
  apart[kStride] = apart[2 * kStride] = apart[3 * kStride] = 0;
  const RunEnd end =
      DecodeRegularBlocks(codes, streams, {apart + 1, kStride, t.above, -1}, 1, deltas);
  if (end.blocks == 1) {
    for (int r = 0; r < kFastBlockSize; ++r) {
      uint16_t* row = t.rows + r * t.stride;
      const uint16_t* from = apart + 1 + r * kStride;
      row[0] = from[0];
      row[1] = from[1];
      row[2] = from[2];
      row[3] = from[3];
    }
  }
  return end;
}

// A block of a defined mode the block loop left, every read checked; false
// when it read outside the file. Fills and raw blocks read no symbols, so
// the end of the symbol stream, which leaves the last blocks of a picture
// to this, does not stop them: they take the loop's routines, in their
// regular place (past the first block column).
template <class Policy>
bool DecodeLeftBlock(FastRows<Policy>& f, const BlockRowTarget& t, int32_t bx, uint32_t code,
                     const FastDeltas& deltas) {
  const uint32_t mode = code & kFastModeMask;
  if (bx > 0 && (mode == kFastModeFill || mode == kFastModeRaw)) {
    uint16_t* const pixels = t.rows + bx * kFastBlockSize;
    const FastBlockPlace place{
        pixels, t.stride, t.above != nullptr ? t.above + bx * kFastBlockSize : kNothingAbove.data(),
        pixels - 1};
    CheckedStreams reader(f.streams);
    if (mode == kFastModeRaw) {
      FastModeRaw(reader, place);
    } else if ((code & kFastVerticalBit) != 0) {
      FastModeFill<true>(place);
    } else {
      FastModeFill<false>(place);
    }
    return !f.streams.pastEnd;
  }
  const BlockRowView view{t.rows, f.width, t.stride, t.above};
  return DecodeCheckedBlock<Policy>(code, view, bx * kFastBlockSize, f.streams, deltas);
}

// What a block row's walk ended with: kOk, kTruncated, or kMalformed for an
// undefined mode, at block `undefinedAt`.
struct WalkEnd {
  VexoStatus status;
  int32_t undefinedAt;
};

// The speed policy's walk: the block loop wherever it may run, the checked
// decode for the blocks it leaves.
template <class Policy>
WalkEnd WalkBlockRow(FastRows<Policy>& f, const BlockRowTarget& t, const FastDeltas& deltas) {
  // At column 0 the row above is in reach at the plain offsets only in the
  // picture's own rows.
  bool firstInPlace = t.picture != nullptr && t.above != nullptr;
  const ptrdiff_t firstLeftOffset = firstInPlace ? f.width - 1 - t.stride : 0;
  // Nor does it matter to a block that reads no pixel left of it.
  if (!firstInPlace) {
    if (CodesHeld(f, 1) == 0) return {VexoStatus::kTruncated, 0};
    const uint32_t first = f.codes.Peek();
    firstInPlace = (first & kFastVerticalBit) != 0 || (first & kFastModeMask) == kFastModeRaw;
  }
  for (int32_t bx = 0; bx < f.blocksPerRow;) {
    const bool inPlace = bx > 0 || firstInPlace;
    RunEnd end{0, false};
    RegularRun run{t.rows + bx * kFastBlockSize,
                   t.stride,
                   t.above != nullptr ? t.above + bx * kFastBlockSize : nullptr,
                   bx > 0 ? -1 : firstLeftOffset,
                   kLoopRefillsItself && f.throughWindows ? &f : nullptr,
                   f.blocksPerRow - bx};
    if (LoopMayStart(f.streams) && (inPlace || f.width > kFastBlockSize)) {
      if (inPlace) {
        const int32_t asked = CodesHeld(f, f.blocksPerRow - bx);
        if (asked == 0) return {VexoStatus::kTruncated, 0};
        end = !kLoopRefillsItself && f.throughWindows
                  ? DecodeRegularBlocksRefilling(f, run, asked, *deltas.bySymbol)
                  : DecodeRegularBlocks(f.codes, f.streams, run, asked, *deltas.bySymbol);
      } else {
        end = DecodeFirstBlockApart(f.codes, f.streams, t, f.width, *deltas.bySymbol);
      }
    } else if (inPlace && f.streams.RawsServeABlock()) {
      // The end of the symbol stream's bytes held.
      const int32_t asked = CodesHeld(f, f.blocksPerRow - bx);
      if (asked == 0) return {VexoStatus::kTruncated, 0};
      const int32_t within = BlocksWithinHeldSymbols(f, asked);
      run.refill = nullptr;
      run.symbolSlack = 0;
      if (within > 0) end = DecodeRegularBlocks(f.codes, f.streams, run, within, *deltas.bySymbol);
    }
    bx += end.blocks;
    if (f.streams.pastEnd) return {VexoStatus::kTruncated, 0};
    if (end.undefined) return {VexoStatus::kMalformed, bx};
    // The loop stops short where the bytes held run out, to go on once the
    // windows are refilled, and where the symbol stream's end leaves too few
    // for the next block's symbols: that block is read with checks.
    if (end.blocks > 0) continue;
    if (CodesHeld(f, 1) == 0) return {VexoStatus::kTruncated, 0};
    const uint32_t code = f.codes.Next();
    if (!IsDefinedMode(code & kFastModeMask)) return {VexoStatus::kMalformed, bx};
    if (!DecodeLeftBlock(f, t, bx, code, deltas)) return {VexoStatus::kTruncated, 0};
    ++bx;
  }
  return {VexoStatus::kOk, 0};
}

// The small policy's walk: every block checked.
template <class Policy>
WalkEnd CheckEveryBlock(FastRows<Policy>& f, const BlockRowTarget& t, const FastDeltas& deltas) {
  for (int32_t bx = 0; bx < f.blocksPerRow; ++bx) {
    if (CodesHeld(f, 1) == 0) return {VexoStatus::kTruncated, 0};
    const uint32_t code = f.codes.Next();
    if (!IsDefinedMode(code & kFastModeMask)) return {VexoStatus::kMalformed, bx};
    SmallFastBlock block(t, f.width, bx * kFastBlockSize, f.streams, deltas.scale);
    if (!block.Decode(code)) return {VexoStatus::kTruncated, 0};
  }
  return {VexoStatus::kOk, 0};
}

}  // namespace

template <class Policy>
FastRows<Policy>::FastRows(const DecodePlan& plan, const StreamSources& sources)
    : codeBytes(sources.Stream(0), kFastBlockCodeStart),
      codes{codeBytes.Next()},
      streams{{sources.Stream(1), plan.pathFields[0]},
              {sources.Stream(2), int64_t{plan.pathFields[0]} + plan.pathFields[1]}},
      width(plan.width),
      height(plan.height),
      blocksPerRow(static_cast<int32_t>(BlocksInside(plan.width))),
      quality(plan.header.quality),
      throughWindows(!sources.InMemory()) {}

template <class Policy>
VexoStatus FastRows<Policy>::DecodeBlockRow(const BlockRowTarget& target) {
  if (!ClearOutsideBlocks(target, width, blocksPerRow)) return VexoStatus::kOk;
  const FastDeltas deltas = DeltasFor<Policy>(quality);
  WalkEnd end;
  if constexpr (Policy::kSmall) {
    end = CheckEveryBlock(*this, target, deltas);
  } else {
    end = WalkBlockRow(*this, target, deltas);
  }
  if (end.status != VexoStatus::kMalformed || target.picture == nullptr) return end.status;
  pictureDone = true;
  return DecodeShiftedRest(*this, target, end.undefinedAt, deltas) ? VexoStatus::kOk
                                                                   : VexoStatus::kTruncated;
}

template <class Policy>
int32_t FastRows<Policy>::Result() const {
  // An offset that does not fit the 32-bit result (only possible for a
  // raw-pixel stream that is never read) cannot be an amount of data
  // consumed, so it reports -1 too.
  const int64_t rawEnd = streams.raws.Offset();
  if (rawEnd <= 0 || rawEnd > std::numeric_limits<int32_t>::max()) return -1;
  return static_cast<int32_t>(rawEnd);
}

#if VEXO_BUILDS_SPEED_POLICY
template class FastRows<SpeedPolicy>;
#endif
template class FastRows<SmallPolicy>;

}  // namespace vexo
