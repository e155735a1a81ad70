#include "predictive/predictive_rows.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "common/compact_delta_table.h"
#include "common/little_endian.h"
#include "predictive/pixel_code_table.h"
#include "predictive/predictive_format.h"
#include "predictive/predictive_kernels.h"

namespace vexo {
namespace {

constexpr int kBlockSize = kPredictiveBlockSize;

// Fetch distance that covers every refill of one full block, with room to
// spare: with a 64-bit accumulator four refills of at most 7 bytes and the
// 8-byte load of the last (29 bytes); with a 32-bit one nine refills of at
// most 3 bytes and the 4-byte load of the last (31 bytes).
constexpr size_t kFullBlockFetchBytes = 48;

// A 64-bit accumulator holds the codes of a whole block row after one
// refill; a 32-bit one those of a pair of pixels.
constexpr bool kRefillPerPair =
    NativeBitReader::kUncheckedBits < kPredictiveModeBits + kBlockSize * kPixelCodeBits;

// 32-bit processors (small data caches) read every code from one table laid
// out for their whole-block loop (CountedPixelCodes), the coarse deltas from
// the fine ones with one shift, which ARM's shifter gives for free; 64-bit
// ones keep a table per quality.
constexpr bool kOneCodeTable = kRefillPerPair;

// The longest pixel code: the leading 0, the class and 8 value bits.
constexpr int kLongestPixelCodeBits = 12;

// One block row of a decode: the decoder's state and where the rows go.
template <class Policy>
struct RowDecode {
  // The speed policy's table of pixel codes; the small policy has none.
  static const PixelCodeTable* CodeTableFor(uint8_t quality) {
    if constexpr (Policy::kSmall) return nullptr;
    if constexpr (kOneCodeTable) return &CountedPixelCodes;
    return UsesCoarseDeltas(quality) ? &PixelCodesCoarse : &PixelCodes;
  }

  RowDecode(PredictiveRows<Policy>& rows, const BlockRowTarget& target)
      : s(rows),
        t(target),
        codes(CodeTableFor(rows.quality)),
        coarseShift(UsesCoarseDeltas(rows.quality) ? 1 : 0) {}

  uint16_t NextRaw() { return s.raw.Next(); }

  // Decodes one pixel code from the pixel's prediction, refilling first.
  // The speed policy looks the code up in one table; the small policy takes
  // it apart field by field.
  uint16_t NextPixelChecked(uint16_t predicted) {
    if (s.bits.Count() < kLongestPixelCodeBits) s.bits.Refill();
    if constexpr (Policy::kSmall) {
      if (s.bits.Read(kCopyCodeBits) == 1) return predicted;
      const uint32_t deltaClass = s.bits.Read(kDeltaClassCodeBits - 1);
      // The escape is the class field's eighth value behind the leading 0.
      if (deltaClass == kRawEscapeCode) return NextRaw();
      const int valueBits = DeltaClassValueBits(static_cast<int>(deltaClass));
      const int index = DeltaClassFirstIndex(static_cast<int>(deltaClass)) +
                        static_cast<int>(s.bits.Read(valueBits));
      return static_cast<uint16_t>(predicted + CompactDelta(index, coarseShift + 1));
    } else {
      // Past a window's limit zeros stand in for the bytes: a code longer
      // than the stream's own bits is looked up again once they are read,
      // and may then be longer still.
      for (;;) {
        const uint32_t code = (*codes)[s.bits.Peek(kPixelCodeBits)];
        const int length = kOneCodeTable ? static_cast<int>(code & CountedPixelCode::kLengthMask)
                                         : PixelCode::Length(code);
        if (length <= s.bits.RealCount()) break;
        s.bits.EnsureReal(length);
      }
      return static_cast<uint16_t>(NextPixel(predicted));
    }
  }

  // The small policy's pixel code where the bytes of the whole block are
  // held: from its first 4 bits ("1..." a copy, "0111" a raw pixel, else the
  // leading 0 and the class), then the class's value bits, with shifts.
  uint16_t NextPixelQuick(uint16_t predicted) {
    auto& bits = s.bits;
    if (bits.Count() < kLongestPixelCodeBits) bits.RefillUnchecked();
    const auto head = static_cast<int>(bits.Peek(kDeltaClassCodeBits));
    if (head >> (kDeltaClassCodeBits - kCopyCodeBits) != 0) {
      bits.Skip(kCopyCodeBits);
      return predicted;
    }
    if (head == kRawEscapeCode) {
      bits.Skip(kRawEscapeBits);
      return NextRaw();
    }
    bits.Skip(kDeltaClassCodeBits);
    const int valueBits = DeltaClassValueBits(head);
    const int index = DeltaClassFirstIndex(head) + static_cast<int>(bits.Peek(valueBits));
    bits.Skip(valueBits);
    return static_cast<uint16_t>(predicted + (CompactDeltaTable[index] << coarseShift));
  }

  // Decodes one pixel code from the pixel's prediction; the caller has
  // refilled. The pixel is the low 16 bits of the result (see
  // PixelCode::AddDelta).
  uint32_t NextPixel(uint32_t predicted) {
    const uint32_t code = (*codes)[s.bits.Peek(kPixelCodeBits)];
    if constexpr (kOneCodeTable) {
      s.bits.Skip(static_cast<int>(code & CountedPixelCode::kLengthMask));
      return CountedPixelCode::IsRaw(code)
                 ? NextRaw()
                 : CountedPixelCode::AddDelta(predicted, code, DeltaShift());
    }
    s.bits.Skip(PixelCode::Length(code));
    return PixelCode::IsRaw(code) ? NextRaw() : PixelCode::AddDelta(predicted, code, 0);
  }
  void DecodePixel(uint16_t* pixel, uint32_t predicted) {
    *pixel = static_cast<uint16_t>(NextPixel(predicted));
  }

  // The same result. With a 64-bit accumulator the code's length comes from
  // its first 4 bits in registers rather than from the table: the next
  // code's bits are then ready before the table entry arrives, which
  // shortens the chain from one pixel to the next to a few shifts. A 32-bit
  // processor would need 64-bit shifts for that, so it takes the table's.
  uint32_t NextPixelQuickLength(uint32_t predicted) {
    if constexpr (kRefillPerPair) return NextPixel(predicted);
    const uint32_t code = (*codes)[s.bits.Peek(kPixelCodeBits)];
    s.bits.Skip(PixelCodeLength(s.bits.Peek(kPixelCodeLengthBits)));
    return PixelCode::IsRaw(code) ? NextRaw() : PixelCode::AddDelta(predicted, code, 0);
  }
  void DecodePixelQuickLength(uint16_t* pixel, uint32_t predicted) {
    *pixel = static_cast<uint16_t>(NextPixelQuickLength(predicted));
  }

  // Before the codes of pixel `column` (0 or 2) of row `row` of a full
  // block: the refills that keep the next codes in the accumulator, given
  // that the block's mode was read just after a refill.
  void RefillBeforeCodes(int row, int column) {
    if (kRefillPerPair || (row > 0 && column == 0)) s.bits.RefillUnchecked();
  }

  int DeltaShift() const { return CountedPixelCode::kFineDeltaShift - coarseShift; }

  bool Failed() const { return s.raw.PastEnd() || s.bits.ConsumedPastEnd(); }

  uint16_t* Row(int32_t r) const { return t.rows + static_cast<ptrdiff_t>(r) * t.stride; }

  // The pixel at column x of block-row row r (-1 the row above), where a
  // column left of the picture is the end of the row before and the
  // picture's first row has zeros above it.
  uint16_t Source(int32_t x, int32_t r) const {
    if (x < 0) {
      x += s.width;
      --r;
    }
    if (r >= 0) return Row(r)[x];
    if (r == -1) return t.above != nullptr ? t.above[x] : uint16_t{0};
    return t.corner;  // the up-left source of the first column
  }

  // The pixels from column x (0 or more) of block-row row r (-1 the row
  // above) on, at least three of them, and the one before them where x is
  // above 0; zeros above the picture.
  const uint16_t* Sources(int32_t x, int32_t r) const;

  PredictiveRows<Policy>& s;
  const BlockRowTarget& t;
  const PixelCodeTable* codes;
  int coarseShift;
};

// Where a predicting mode's source lies: columns and rows from the pixel.
struct SourceStep {
  int32_t dx;
  int32_t dy;
};

constexpr SourceStep SourceStepOf(int mode) {
  switch (mode) {
    case kPredictFromLeft:
      return {-1, 0};
    case kPredictFromAbove:
      return {0, -1};
    default:
      return {-1, -1};
  }
}

// One block of any size, pixel by pixel, with every source and refill
// checked: the speed policy's edge blocks and those near the end of the
// file.
template <class Policy>
void DecodeBlockCarefully(RowDecode<Policy>& d, int32_t x, int bw, int bh) {
  if (d.s.bits.Count() < kPredictiveModeBits) d.s.bits.Refill();
  const int mode = static_cast<int>(d.s.bits.Read(kPredictiveModeBits));
  if (mode == kPredictiveFillLeft) {
    for (int r = 0; r < bh; ++r) std::fill_n(d.Row(r) + x, bw, d.Source(x - 1, r));
    return;
  }
  const SourceStep step = SourceStepOf(mode);
  for (int r = 0; r < bh; ++r) {
    uint16_t* row = d.Row(r) + x;
    for (int c = 0; c < bw; ++c) {
      row[c] = d.NextPixelChecked(d.Source(x + c + step.dx, r + step.dy));
    }
  }
}

// What the first block row reads above the picture: 0, in place of the
// row above a block and the pixel left of it.
constexpr uint16_t kZerosAbove[1 + kBlockSize] = {};

template <class Policy>
const uint16_t* RowDecode<Policy>::Sources(int32_t x, int32_t r) const {
  if (r >= 0) return Row(r) + x;
  return t.above != nullptr ? t.above + x : kZerosAbove + 1;
}

// The rows of a predicting block of the small policy: each row's first
// source is looked for, the others follow it in memory. kQuick: the file
// holds the bytes of the whole block, whose codes are then read with shifts
// and an unchecked refill; else field by field with every read checked.
template <bool kQuick, class Policy>
void DecodeSmallBlockRows(RowDecode<Policy>& d, int32_t x, int bw, int bh, SourceStep step) {
  for (int r = 0; r < bh; ++r) {
    uint16_t* out = d.Row(r) + x;
    uint16_t* const end = out + bw;
    // The sources of pixels 1 on lie from this column on, past the edge.
    const uint16_t* next = d.Sources(x + step.dx + 1, r + step.dy);
    uint16_t predicted = x + step.dx >= 0 ? next[-1] : d.Source(x + step.dx, r + step.dy);
    for (;;) {
      *out++ = kQuick ? d.NextPixelQuick(predicted) : d.NextPixelChecked(predicted);
      if (out == end) break;
      predicted = *next++;
    }
  }
}

// The small policy's block of any size. False when the decode needed data
// outside the file.
template <class Policy>
bool DecodeSmallBlock(RowDecode<Policy>& d, int32_t x, int bw, int bh) {
  const int mode = static_cast<int>(d.s.bits.Read(kPredictiveModeBits));
  if (mode == kPredictiveFillLeft) {
    for (int r = 0; r < bh; ++r) std::fill_n(d.Row(r) + x, bw, d.Source(x - 1, r));
    return !d.Failed();
  }
  if (d.s.bits.HasBytesAhead(kFullBlockFetchBytes)) {
    DecodeSmallBlockRows<true>(d, x, bw, bh, SourceStepOf(mode));
    return !d.s.raw.PastEnd();
  }
  DecodeSmallBlockRows<false>(d, x, bw, bh, SourceStepOf(mode));
  return !d.Failed();
}

// Where full blocks are decoded in straight-line code: row 0 of the block
// row (pixel x = 0) with its rows `stride` apart, and the row above it, read
// at the plain offsets of the prediction (above[x - 1] by the up-left mode),
// or nullptr above the picture. The pixel left of each row is the one
// before it in memory.
struct FullBlockPlace {
  uint16_t* row0;
  ptrdiff_t stride;
  const uint16_t* above;
};

// The row above for the pixels from column x on, the first at offset
// `offset` (0 or -1) from the pixel above.
[[maybe_unused]] inline const uint16_t* FirstSources(const FullBlockPlace& place, int32_t x,
                                                     ptrdiff_t offset) {
  return place.above != nullptr ? place.above + x + offset : kZerosAbove;
}

// The rows of a full block predicted from the left: each pixel's prediction
// is the one just decoded, kept in a register rather than read back.
template <class Policy>
void DecodeFullRowsFromLeft(RowDecode<Policy>& d, uint16_t* block, ptrdiff_t stride) {
  for (int r = 0; r < kBlockSize; ++r) {
    uint16_t* row = block + r * stride;
    uint32_t left = row[-1];
    for (int c = 0; c < kBlockSize; ++c) {
      if (c % 2 == 0) d.RefillBeforeCodes(r, c);
      left = d.NextPixelQuickLength(left);
      row[c] = static_cast<uint16_t>(left);
    }
  }
}

// The rows of a full block predicted from the row above (offset -stride) or
// the pixel above-left (offset -stride - 1), neither written by this row;
// row 0's sources are at `firstSources`.
template <class Policy>
void DecodeFullRowsFromAbove(RowDecode<Policy>& d, uint16_t* block, ptrdiff_t stride,
                             ptrdiff_t offset, const uint16_t* firstSources) {
  for (int r = 0; r < kBlockSize; ++r) {
    uint16_t* row = block + r * stride;
    const uint16_t* source = r == 0 ? firstSources : row + offset;
    d.RefillBeforeCodes(r, 0);
    d.DecodePixelQuickLength(row + 0, source[0]);
    d.DecodePixelQuickLength(row + 1, source[1]);
    d.RefillBeforeCodes(r, 2);
    d.DecodePixelQuickLength(row + 2, source[2]);
    d.DecodePixelQuickLength(row + 3, source[3]);
  }
}

// One full 4 x 4 block at column x in straight-line code, with the
// processor's own accumulator (64 bits wide: a refill per row). The caller
// guarantees that the block's bytes are in the file.
template <class Policy>
void DecodeFullBlockUnchecked(RowDecode<Policy>& d, const FullBlockPlace& place, int32_t x) {
  uint16_t* const block = place.row0 + x;
  const ptrdiff_t stride = place.stride;
  d.s.bits.RefillUnchecked();
  const int mode = static_cast<int>(d.s.bits.Peek(kPredictiveModeBits));
  d.s.bits.Skip(kPredictiveModeBits);
  switch (mode) {
    case kPredictFromLeft:
      return DecodeFullRowsFromLeft(d, block, stride);
    case kPredictiveFillLeft:
      for (int r = 0; r < kBlockSize; ++r) {
        uint16_t* row = block + r * stride;
        const uint16_t left = row[-1];
        row[0] = row[1] = row[2] = row[3] = left;
      }
      return;
    default: {
      const ptrdiff_t up = mode == kPredictFromAbove ? 0 : -1;
      return DecodeFullRowsFromAbove(d, block, stride, up - stride, FirstSources(place, x, up));
    }
  }
}

// The whole-block loop of 32-bit processors: a run of full blocks along a
// block row with a bit reader that keeps a window of the next 32 bits of the
// stream, rebuilt after each pair of pixels from two aligned words of the
// file, and a table laid out so that a pixel code costs a lookup and a shift
// (see CountedPixelCode).
class WindowReader {
 public:
  // Continues the shared reader from where it stands; the file holds the
  // aligned words around its next bit.
  WindowReader(const uint8_t* file, const NativeBitReader::Registers& from) {
    const size_t bit = static_cast<size_t>(from.next - file) * 8 - from.count;
    const uint8_t* byte = file + bit / 8;
    const size_t misalignment = reinterpret_cast<uintptr_t>(byte) & 3;
    following_ = byte - misalignment;
    offset_ = static_cast<uint32_t>(misalignment * 8 + bit % 8);
    first_ = LoadWord();
    second_ = LoadWord();
    Rebuild();
  }

  // Where the shared reader takes over: the byte of the next bit, with its
  // bits still to read in the accumulator.
  NativeBitReader::Registers Handover() const {
    const uint32_t offset = offset_ & kOffsetMask;
    const uint8_t* byte = following_ - 8 + offset / 8;
    const uint32_t bits = 8 - offset % 8;
    return {byte + 1, static_cast<NativeBitWord>(*byte) << (24 + offset % 8), bits};
  }

  // The next 32 bits of the stream.
  uint32_t Window() const { return window_; }

  // The next aligned word to load: the bits of a block it decodes lie
  // before this byte + 28 (a block's 25 bytes at most, and a word of
  // look-ahead).
  const uint8_t* Following() const { return following_; }

  // Moves past `used` bits: the sum of up to two table entries (their
  // lengths, 24 bits at most, in the low byte; the bits above are ignored)
  // and a block mode.
  void Advance(uint32_t used) {
    offset_ += used;  // below 64 in the low byte
    if (offset_ & 32) {
      offset_ -= 32;
      first_ = second_;
      second_ = LoadWord();
    }
    Rebuild();
  }

 private:
  static constexpr uint32_t kOffsetMask = 31;

  uint32_t LoadWord() {
    uint32_t word;
    std::memcpy(&word, __builtin_assume_aligned(following_, 4), sizeof word);
    following_ += 4;
    if constexpr (std::endian::native == std::endian::little) word = __builtin_bswap32(word);
    return word;
  }

  // The low byte of the offset is 0..31 here: 32 - offset shifts `second_`
  // out entirely at 0.
  void Rebuild() { window_ = JoinWindow(first_, second_, offset_); }

  const uint8_t* following_;  // the aligned word after second_
  uint32_t first_;            // the aligned word that holds the next bit
  uint32_t second_;
  uint32_t offset_;  // of the next bit in first_, in the low byte
  uint32_t window_;
};

// How far one full block moves the next bit at most, in bytes, and what the
// window reader may load past its Following() in a block: past the end of
// its bits a word of look-ahead, and the word that held its first bit
// started up to 3 bytes before it, rounded up.
constexpr size_t kFullBlockAdvanceBytes =
    (kPredictiveModeBits + kBlockSize * kBlockSize * kPixelCodeBits + 7) / 8;
constexpr ptrdiff_t kBlockReach = 32;
static_assert(kFullBlockAdvanceBytes + 4 + 3 <= kBlockReach);

// A window is refilled once the bytes it holds serve fewer than 4 blocks
// for sure: few enough to read large pieces, enough to keep the steps long.
constexpr ptrdiff_t kRefillBelow = 3 * kFullBlockAdvanceBytes;

// How many full blocks the bytes held surely serve when the reader's
// Following() lies `room` + kBlockReach bytes before their end: each block
// starts at most kFullBlockAdvanceBytes after the one before. At most 65
// (with a multiplication in place of a division, which a core without a
// divider would call a function for).
[[maybe_unused]] int32_t BlocksInReach(size_t room) {
  constexpr size_t kScale = 65536 / kFullBlockAdvanceBytes;  // rounded down: never too many
  const size_t bounded = std::min<size_t>(room, 64 * kFullBlockAdvanceBytes);
  return 1 + static_cast<int32_t>((bounded * kScale) >> 16);
}

// The two codes of a pair of pixels, read from the window.
struct PairCodes {
  PairCodes(uint32_t window, const uint32_t* codes)
      : first(codes[window >> (32 - kPixelCodeBits)]),
        second(codes[ShiftLeftByLowByte(window, first) >> (32 - kPixelCodeBits)]),
        used(first + second) {}

  // True when either is a raw escape (see CountedPixelCode).
  bool TookRaw() const { return CountedPixelCode::HasRaw(used); }

  uint32_t first;
  uint32_t second;
  uint32_t used;
};

// The rows of a full block predicted from the left, a pair of pixels per
// window; the prediction of each pixel is the one just decoded. The block's
// mode takes the window's first `modeBits` bits.
template <int kDeltaShift>
inline void DecodePairsFromLeft(WindowReader& r, RawPixels& raw, uint16_t* volatile& stop,
                                uint16_t* block, ptrdiff_t stride, uint32_t modeBits,
                                const uint32_t* table) {
#pragma GCC unroll 4
  for (int row = 0; row < kBlockSize; ++row) {
    uint16_t* out = block + row * stride;
    uint32_t left = out[-1];
#pragma GCC unroll 2
    for (int c = 0; c < kBlockSize; c += 2) {
      const bool firstPair = row == 0 && c == 0;
      const PairCodes codes(firstPair ? r.Window() << modeBits : r.Window(), table);
      const uint32_t pixel0 = CountedPixelCode::AddDelta(left, codes.first, kDeltaShift);
      out[c] = static_cast<uint16_t>(pixel0);
      uint32_t pixel1 = CountedPixelCode::AddDelta(pixel0, codes.second, kDeltaShift);
      out[c + 1] = static_cast<uint16_t>(pixel1);
      if (codes.TookRaw()) [[unlikely]] {
        if (CountedPixelCode::IsRaw(codes.first)) {
          // The second delta on the raw pixel: the output still holds it, as
          // the difference of the two pixels stored.
          const uint32_t pixel = raw.TakeHeld(stop);
          pixel1 = pixel + static_cast<uint32_t>(out[c + 1] - out[c]);
          out[c] = static_cast<uint16_t>(pixel);
        }
        if (CountedPixelCode::IsRaw(codes.second)) pixel1 = raw.TakeHeld(stop);
        out[c + 1] = static_cast<uint16_t>(pixel1);
      }
      r.Advance(firstPair ? codes.used + modeBits : codes.used);
      left = pixel1;
    }
  }
}

// The rows of a full block predicted from the row above (offset -stride)
// or the pixel above-left (offset -stride - 1), a pair of pixels per
// window. The first row's sources are at `firstSources`; the block's mode
// takes the window's first `modeBits` bits.
template <int kDeltaShift>
inline void DecodePairsFromAbove(WindowReader& r, RawPixels& raw, uint16_t* volatile& stop,
                                 uint16_t* block, ptrdiff_t stride, ptrdiff_t offset,
                                 const uint16_t* firstSources, uint32_t modeBits,
                                 const uint32_t* table) {
#pragma GCC unroll 4
  for (int row = 0; row < kBlockSize; ++row) {
    uint16_t* out = block + row * stride;
    const uint16_t* source = row == 0 ? firstSources : out + offset;
#pragma GCC unroll 2
    for (int c = 0; c < kBlockSize; c += 2) {
      const bool firstPair = row == 0 && c == 0;
      const PairCodes codes(firstPair ? r.Window() << modeBits : r.Window(), table);
      out[c] =
          static_cast<uint16_t>(CountedPixelCode::AddDelta(source[c], codes.first, kDeltaShift));
      out[c + 1] = static_cast<uint16_t>(
          CountedPixelCode::AddDelta(source[c + 1], codes.second, kDeltaShift));
      if (codes.TookRaw()) [[unlikely]] {
        if (CountedPixelCode::IsRaw(codes.first))
          out[c] = static_cast<uint16_t>(raw.TakeHeld(stop));
        if (CountedPixelCode::IsRaw(codes.second))
          out[c + 1] = static_cast<uint16_t>(raw.TakeHeld(stop));
      }
      r.Advance(firstPair ? codes.used + modeBits : codes.used);
    }
  }
}

// Up to `count` full blocks from column x of `place` on, with the window
// reader, in steps of as many blocks as the bytes held of both streams
// surely serve, refilling windows between the steps (a file in memory
// serves a whole row at once). Returns the column where it stopped: where
// the file ends, or after the first block whose raw pixel lay past it.
template <int kDeltaShift, class Policy>
int32_t DecodeFullBlockRun(PredictiveRows<Policy>& s, const FullBlockPlace& place, int32_t x,
                           int32_t count) {
  const ptrdiff_t stride = place.stride;
  WindowReader r(s.bits.Origin(), s.bits.Save());
  const uint8_t* heldEnd = s.bits.HeldEnd();
  uint16_t* block = place.row0 + x;
  uint16_t* const end = block + count * kBlockSize;
  constexpr uint32_t kModeBits = kPredictiveModeBits;
  // The pixel above a block's first pixel, found from the block as in a
  // picture whose rows follow each other.
  const uintptr_t aboveDelta =
      reinterpret_cast<uintptr_t>(place.above) - reinterpret_cast<uintptr_t>(place.row0);
  // Kept in a register: found anew in position-independent code it costs
  // two loads and the global table's address a third.
  const uint32_t* table = CountedPixelCodes.data();
  __asm__("" : "+r"(table));
  do {
    ptrdiff_t room = heldEnd - r.Following() - kBlockReach;
    if (room < kRefillBelow) {
      s.bits.Restore(r.Handover());
      s.bits.HasBytesAhead(kBlockReach + sizeof(uint64_t) + kRefillBelow);
      r = WindowReader(s.bits.Origin(), s.bits.Save());
      heldEnd = s.bits.HeldEnd();
      room = heldEnd - r.Following() - kBlockReach;
      if (room < 0) break;
    }
    if (!s.raw.ServesABlock()) break;
    uint16_t* volatile stop =
        std::min(end, block + BlocksInReach(static_cast<size_t>(room)) * kBlockSize);
    do {
      // The block's rows from its start, not four pointers carried from block
      // to block: registers are scarce.
      __asm__("" : "+r"(block));
      const uint32_t mode = r.Window() >> (32 - kModeBits);
      if (mode == kPredictFromLeft) {
        DecodePairsFromLeft<kDeltaShift>(r, s.raw, stop, block, stride, kModeBits, table);
      } else if (mode == kPredictiveFillLeft) {
        for (int row = 0; row < kBlockSize; ++row) {
          uint16_t* out = block + row * stride;
          const uint16_t left = out[-1];
          out[0] = out[1] = out[2] = out[3] = left;
        }
        r.Advance(kModeBits);
      } else {
        static_assert(kPredictFromAbove >> 1 == 0 && kPredictFromAboveLeft >> 1 == 1);
        const ptrdiff_t up = -static_cast<ptrdiff_t>(mode >> 1);
        const uint16_t* firstSources =
            reinterpret_cast<const uint16_t*>(reinterpret_cast<uintptr_t>(block) + aboveDelta) + up;
        DecodePairsFromAbove<kDeltaShift>(r, s.raw, stop, block, stride, up - stride, firstSources,
                                          kModeBits, table);
      }
      block += kBlockSize;
      // A raw pixel past the end of the file is not looked for here: the run
      // ends with the block row at the latest, and the caller fails the
      // decode.
    } while (block < stop);
  } while (block < end);
  s.bits.Restore(r.Handover());
  return static_cast<int32_t>(block - place.row0);
}

template <class Policy>
int32_t DecodeFullBlockRun(RowDecode<Policy>& d, const FullBlockPlace& place, int32_t x,
                           int32_t count) {
  return d.coarseShift != 0
             ? DecodeFullBlockRun<CountedPixelCode::kCoarseDeltaShift>(d.s, place, x, count)
             : DecodeFullBlockRun<CountedPixelCode::kFineDeltaShift>(d.s, place, x, count);
}

// As DecodeFullBlockRun in the picture's first block row, whose sources
// above read as 0: a row of zeros on the stack stands in for the row above,
// a few blocks at a time (the run then needs no test for it).
template <class Policy>
int32_t DecodeFullBlockRunsBelowZeros(RowDecode<Policy>& d, const FullBlockPlace& place, int32_t x,
                                      int32_t count) {
  constexpr int32_t kBlocksAtOnce = 16;
  const uint16_t zeros[1 + kBlocksAtOnce * kBlockSize] = {};
  const int32_t end = x + count * kBlockSize;
  while (x < end && !d.s.raw.PastEnd()) {
    const int32_t blocks = std::min(kBlocksAtOnce, (end - x) / kBlockSize);
    // The row above, placed so that the pixel above column x is zeros[1].
    const auto above = reinterpret_cast<const uint16_t*>(reinterpret_cast<uintptr_t>(zeros + 1) -
                                                         x * sizeof(uint16_t));
    const int32_t reached = DecodeFullBlockRun(d, {place.row0, place.stride, above}, x, blocks);
    if (reached != x + blocks * kBlockSize) return reached;
    x = reached;
  }
  return x;
}

// Full blocks from column x on, at most `count`, while the file reaches far
// enough: with the window reader on 32-bit processors, block by block with
// the 64-bit accumulator elsewhere. Returns the column where it stopped.
template <class Policy>
int32_t DecodeFullBlocks(RowDecode<Policy>& d, const FullBlockPlace& place, int32_t x,
                         int32_t count) {
  if (!d.s.bits.HasBytesAhead(kFullBlockFetchBytes)) return x;
  if constexpr (kRefillPerPair) {
    if (place.above == nullptr) return DecodeFullBlockRunsBelowZeros(d, place, x, count);
    return DecodeFullBlockRun(d, place, x, count);
  }
  const int32_t end = x + count * kBlockSize;
  for (; x < end && d.s.bits.HasBytesAhead(kFullBlockFetchBytes); x += kBlockSize) {
    DecodeFullBlockUnchecked(d, place, x);
    if (d.s.raw.PastEnd()) return x + kBlockSize;
  }
  return x;
}

// The first block of a block row in straight-line code where its left
// sources are not the pixels before its rows in memory (band by band, or in
// the picture's first row): in a small picture of its own whose left column
// holds them (the end of the row above for row 0, and for rows 1 to 3 the
// last pixel of a row not decoded yet, 0), then copied into place. The
// picture is wider than one block. Returns the column where it stopped.
template <class Policy>
int32_t DecodeFirstBlockApart(RowDecode<Policy>& d) {
  constexpr ptrdiff_t kStride = 8;
  uint16_t apart[(1 + kBlockSize) * kStride];
  uint16_t* const above = apart + 2;
  uint16_t* const block = above + kStride;
  const uint16_t* from = d.t.above != nullptr ? d.t.above : kZerosAbove + 1;
  above[-1] = d.t.above != nullptr ? d.t.corner : uint16_t{0};
  above[0] = from[0];
  above[1] = from[1];
  above[2] = from[2];
  above[3] = from[3];
  block[-1] = d.t.above != nullptr ? from[d.s.width - 1] : uint16_t{0};
  block[kStride - 1] = block[2 * kStride - 1] = block[3 * kStride - 1] = 0;
  const int32_t x = DecodeFullBlocks(d, FullBlockPlace{block, kStride, above}, 0, 1);
  if (x == 0) return 0;
  for (int r = 0; r < kBlockSize; ++r) {
    uint16_t* row = d.Row(r);
    const uint16_t* decoded = block + r * kStride;
    row[0] = decoded[0];
    row[1] = decoded[1];
    row[2] = decoded[2];
    row[3] = decoded[3];
  }
  return x;
}

// The speed policy's walk along a block row from column x on: full blocks in
// straight-line code where the file reaches far enough, the careful decode
// elsewhere. True when the decode needed data outside the file: only the
// careful decode may consume bits past the end, and both may look for a raw
// pixel there.
template <class Policy>
[[gnu::noinline]] bool WalkBlockRow(PredictiveRows<Policy>& rows, const BlockRowTarget& target,
                                    int32_t x) {
  RowDecode<Policy> d(rows, target);
  const int32_t width = rows.width;
  const int32_t fullEnd = target.rowCount == kBlockSize ? width / kBlockSize * kBlockSize : 0;
  const FullBlockPlace place{target.rows, target.stride, target.above};
  // At column 0 the plain offsets reach the row before only in the
  // picture's own rows, and matter only to a block that reads the pixels
  // left of its rows (any but one predicted from above).
  rows.bits.Refill();
  rows.bits.EnsureReal(kPredictiveModeBits);
  const bool firstApart = !(target.linear && target.above != nullptr) &&
                          rows.bits.Peek(kPredictiveModeBits) != kPredictFromAbove;
  while (x < width) {
    if (x < fullEnd) {
      int32_t next = x;
      if (x > 0 || !firstApart) {
        next = DecodeFullBlocks(d, place, x, (fullEnd - x) / kBlockSize);
      } else if (width > kBlockSize) {
        next = DecodeFirstBlockApart(d);
      }
      if (rows.raw.PastEnd()) return true;
      if (next != x) {
        x = next;
        continue;
      }
    }
    DecodeBlockCarefully(d, x, std::min<int32_t>(kBlockSize, width - x), target.rowCount);
    if (d.Failed()) return true;
    x += kBlockSize;
  }
  return false;
}

// The block row of a whole decode in a run of full blocks, as far as the
// run goes, where the plain offsets hold from column 0 on (the picture's
// own rows) and the row is four rows of whole blocks: no parts to tell
// apart. Returns the column where it stopped: 0 when it did not start.
template <class Policy>
int32_t DecodeWholeRow(PredictiveRows<Policy>& s, const BlockRowTarget& t) {
  if constexpr (Policy::kSmall || !kRefillPerPair) {
    return 0;
  } else {
    if (!t.linear || t.above == nullptr || t.rowCount != kBlockSize || s.width % kBlockSize != 0 ||
        !s.bits.HasBytesAhead(kFullBlockFetchBytes)) {
      return 0;
    }
    const FullBlockPlace place{t.rows, t.stride, t.above};
    const int32_t blocks = s.width / kBlockSize;
    return UsesCoarseDeltas(s.quality)
               ? DecodeFullBlockRun<CountedPixelCode::kCoarseDeltaShift>(s, place, 0, blocks)
               : DecodeFullBlockRun<CountedPixelCode::kFineDeltaShift>(s, place, 0, blocks);
  }
}

// Sources that lie later in raster order (the last pixel of an earlier row
// of the same block row) must read as 0, as in a zero-filled output.
void ClearLastColumn(const BlockRowTarget& t, int32_t width) {
  uint16_t* last = t.rows + width - 1;
  if (t.rowCount == kBlockSize) {
    last[0] = last[t.stride] = last[2 * t.stride] = last[3 * t.stride] = 0;
    return;
  }
  for (int32_t r = 0; r < t.rowCount; ++r) last[r * t.stride] = 0;
}

}  // namespace

template <class Policy>
PredictiveRows<Policy>::PredictiveRows(const DecodePlan& plan, const StreamSources& sources)
    : bits(sources.InMemory() ? NativeBitReader(sources.file, static_cast<size_t>(sources.fileSize),
                                                kPredictiveStreamStart)
                              : NativeBitReader(sources.windows[0], kPredictiveStreamStart)),
      raw(sources.Stream(1), plan.pathFields[0]),
      width(plan.width),
      quality(plan.header.quality) {}

template <class Policy>
VexoStatus PredictiveRows<Policy>::DecodeBlockRow(const BlockRowTarget& target) {
  ClearLastColumn(target, width);
  if constexpr (Policy::kSmall) {
    RowDecode<Policy> d(*this, target);
    for (int32_t x = 0; x < width; x += kBlockSize) {
      if (!DecodeSmallBlock(d, x, std::min<int32_t>(kBlockSize, width - x), target.rowCount)) {
        return VexoStatus::kTruncated;
      }
    }
    return VexoStatus::kOk;
  } else {
    const int32_t x = DecodeWholeRow(*this, target);
    if (raw.PastEnd()) return VexoStatus::kTruncated;
    if (x == width) return VexoStatus::kOk;
    return WalkBlockRow(*this, target, x) ? VexoStatus::kTruncated : VexoStatus::kOk;
  }
}

template <class Policy>
int32_t PredictiveRows<Policy>::Result() const {
  const int64_t offset = raw.Offset();
  return offset > 0 ? static_cast<int32_t>(offset) : -1;
}

#if VEXO_BUILDS_SPEED_POLICY
template class PredictiveRows<SpeedPolicy>;
#endif
template class PredictiveRows<SmallPolicy>;

}  // namespace vexo
