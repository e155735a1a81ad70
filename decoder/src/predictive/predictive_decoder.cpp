#include "predictive/predictive_decoder.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "common/bit_reader.h"
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

// Everything one decode shares between its blocks.
struct PredictiveState {
  PredictiveState(const PathInput& input, int64_t rawStreamOffset)
      : bits(input.file.data(), input.file.size(), kPredictiveStreamStart),
        codes(kOneCodeTable                     ? CountedPixelCodes
              : UsesCoarseDeltas(input.quality) ? PixelCodesCoarse
                                                : PixelCodes),
        coarseShift(UsesCoarseDeltas(input.quality) && kOneCodeTable ? 1 : 0),
        image(input.image.data()),
        width(input.width),
        stride(input.stride),
        file(input.file),
        rawOffset(rawStreamOffset) {}

  // The next pixel of the raw-pixel stream. Past either end of the file it
  // records the fault and yields 0; the caller stops after the block.
  uint16_t NextRaw() {
    if (rawOffset < 0 || rawOffset + 2 > static_cast<int64_t>(file.size())) {
      rawPastEnd = true;
      return 0;
    }
    const uint16_t pixel = ReadLe16(file.data() + rawOffset);
    rawOffset += 2;
    return pixel;
  }

  // Decodes one pixel code from the pixel's prediction. The pixel is the low
  // 16 bits of the result (see PixelCode::AddDelta).
  uint32_t NextPixel(uint32_t predicted) {
    if constexpr (kOneCodeTable) {
      const uint32_t code = codes[bits.Peek(kPixelCodeBits)];
      bits.Skip(static_cast<int>(code & CountedPixelCode::kLengthMask));
      return CountedPixelCode::IsRaw(code)
                 ? NextRaw()
                 : CountedPixelCode::AddDelta(predicted, code, DeltaShift());
    }
    const uint32_t code = codes[bits.Peek(kPixelCodeBits)];
    bits.Skip(PixelCode::Length(code));
    return PixelCode::IsRaw(code) ? NextRaw() : PixelCode::AddDelta(predicted, code, CoarseShift());
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
    const uint32_t code = codes[bits.Peek(kPixelCodeBits)];
    bits.Skip(PixelCodeLength(bits.Peek(kPixelCodeLengthBits)));
    return PixelCode::IsRaw(code) ? NextRaw() : PixelCode::AddDelta(predicted, code, CoarseShift());
  }
  void DecodePixelQuickLength(uint16_t* pixel, uint32_t predicted) {
    *pixel = static_cast<uint16_t>(NextPixelQuickLength(predicted));
  }

  // Before the codes of pixel `column` (0 or 2) of row `row` of a full
  // block: the refills that keep the next codes in the accumulator, given
  // that the block's mode was read just after a refill.
  void RefillBeforeCodes(int row, int column) {
    if (kRefillPerPair || (row > 0 && column == 0)) bits.RefillUnchecked();
  }

  int CoarseShift() const { return kOneCodeTable ? coarseShift : 0; }
  int DeltaShift() const { return CountedPixelCode::kFineDeltaShift - coarseShift; }

  bool Failed() const { return rawPastEnd || bits.ConsumedPastEnd(); }

  uint16_t* Row(int32_t y) const { return image + static_cast<ptrdiff_t>(y) * stride; }

  // See LinearSourcePixel.
  uint16_t SourcePixel(int32_t x, int32_t y) const {
    return LinearSourcePixel(image, width, stride, x, y);
  }

  VexoDecodeResult Finish() const {
    if (Failed()) return {VexoStatus::kTruncated, -1};
    return {VexoStatus::kOk, PositiveOrMinusOne(rawOffset)};
  }

  NativeBitReader bits;
  const PixelCodeTable& codes;
  int coarseShift;
  uint16_t* image;
  int32_t width;
  ptrdiff_t stride;
  std::span<const uint8_t> file;
  int64_t rawOffset;
  bool rawPastEnd = false;
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

// One block of any size, pixel by pixel, with every source checked. Serves
// the general form and the blocks of the whole-block form that touch the
// first picture row or the end of the file.
void DecodeBlockCarefully(PredictiveState& s, int32_t x, int32_t y, int bw, int bh) {
  if (s.bits.Count() < kPredictiveModeBits) s.bits.Refill();
  const int mode = static_cast<int>(s.bits.Read(kPredictiveModeBits));
  if (mode == kPredictiveFillLeft) {
    for (int r = 0; r < bh; ++r) std::fill_n(s.Row(y + r) + x, bw, s.SourcePixel(x - 1, y + r));
    return;
  }
  const SourceStep step = SourceStepOf(mode);
  for (int r = 0; r < bh; ++r) {
    uint16_t* row = s.Row(y + r) + x;
    for (int c = 0; c < bw; ++c) {
      if (s.bits.Count() < kPixelCodeBits) s.bits.Refill();
      s.DecodePixel(row + c, s.SourcePixel(x + c + step.dx, y + r + step.dy));
    }
  }
}

// The rows of a full block predicted from the left: each pixel's prediction
// is the one just decoded, kept in a register rather than read back.
void DecodeFullRowsFromLeft(PredictiveState& s, uint16_t* block, ptrdiff_t stride) {
  for (int r = 0; r < kBlockSize; ++r) {
    uint16_t* row = block + r * stride;
    uint32_t left = row[-1];
    for (int c = 0; c < kBlockSize; ++c) {
      if (c % 2 == 0) s.RefillBeforeCodes(r, c);
      left = s.NextPixelQuickLength(left);
      row[c] = static_cast<uint16_t>(left);
    }
  }
}

// The rows of a full block predicted from the row above (offset -stride) or
// the pixel above-left (offset -stride - 1), neither written by this row.
void DecodeFullRowsFromAbove(PredictiveState& s, uint16_t* block, ptrdiff_t stride,
                             ptrdiff_t offset) {
  for (int r = 0; r < kBlockSize; ++r) {
    uint16_t* row = block + r * stride;
    s.RefillBeforeCodes(r, 0);
    s.DecodePixelQuickLength(row + 0, row[0 + offset]);
    s.DecodePixelQuickLength(row + 1, row[1 + offset]);
    s.RefillBeforeCodes(r, 2);
    s.DecodePixelQuickLength(row + 2, row[2 + offset]);
    s.DecodePixelQuickLength(row + 3, row[3 + offset]);
  }
}

// One full 4 x 4 block in straight-line code. The caller guarantees that every
// source lies inside the picture at the plain offsets -1, -stride and
// -stride - 1 (so not in the first block column of a picture whose stride is
// wider than it), and that the block's bytes are in the file.
void DecodeFullBlockUnchecked(PredictiveState& s, uint16_t* block) {
  const ptrdiff_t stride = s.stride;
  s.bits.RefillUnchecked();
  const int mode = static_cast<int>(s.bits.Peek(kPredictiveModeBits));
  s.bits.Skip(kPredictiveModeBits);
  switch (mode) {
    case kPredictFromLeft:
      return DecodeFullRowsFromLeft(s, block, stride);
    case kPredictiveFillLeft:
      for (int r = 0; r < kBlockSize; ++r) {
        uint16_t* row = block + r * stride;
        const uint16_t left = row[-1];
        row[0] = row[1] = row[2] = row[3] = left;
      }
      return;
    default:
      return DecodeFullRowsFromAbove(s, block, stride,
                                     PredictionOffset(mode, static_cast<int32_t>(stride)));
  }
}

// The whole-block form of 32-bit processors: a run of full blocks along a
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

// How far one full block moves the next bit at most, in bytes.
constexpr size_t kFullBlockAdvanceBytes =
    (kPredictiveModeBits + kBlockSize * kBlockSize * kPixelCodeBits + 7) / 8;

// The two codes of a pair of pixels, read from the window.
struct PairCodes {
  explicit PairCodes(uint32_t window)
      : first(CountedPixelCodes[window >> (32 - kPixelCodeBits)]),
        second(CountedPixelCodes[ShiftLeftByLowByte(window, first) >> (32 - kPixelCodeBits)]),
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
inline void DecodePairsFromLeft(WindowReader& r, PredictiveState& s, uint16_t* block,
                                ptrdiff_t stride, uint32_t modeBits) {
#pragma GCC unroll 4
  for (int row = 0; row < kBlockSize; ++row) {
    uint16_t* out = block + row * stride;
    uint32_t left = out[-1];
#pragma GCC unroll 2
    for (int c = 0; c < kBlockSize; c += 2) {
      const bool firstPair = row == 0 && c == 0;
      const PairCodes codes(firstPair ? r.Window() << modeBits : r.Window());
      const uint32_t pixel0 = CountedPixelCode::AddDelta(left, codes.first, kDeltaShift);
      out[c] = static_cast<uint16_t>(pixel0);
      uint32_t pixel1 = CountedPixelCode::AddDelta(pixel0, codes.second, kDeltaShift);
      out[c + 1] = static_cast<uint16_t>(pixel1);
      if (codes.TookRaw()) [[unlikely]] {
        if (CountedPixelCode::IsRaw(codes.first)) {
          // The second delta on the raw pixel: the output still holds it, as
          // the difference of the two pixels stored.
          const uint32_t pixel = s.NextRaw();
          pixel1 = pixel + static_cast<uint32_t>(out[c + 1] - out[c]);
          out[c] = static_cast<uint16_t>(pixel);
        }
        if (CountedPixelCode::IsRaw(codes.second)) pixel1 = s.NextRaw();
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
inline void DecodePairsFromAbove(WindowReader& r, PredictiveState& s, uint16_t* block,
                                 ptrdiff_t stride, ptrdiff_t offset, const uint16_t* firstSources,
                                 uint32_t modeBits) {
#pragma GCC unroll 4
  for (int row = 0; row < kBlockSize; ++row) {
    uint16_t* out = block + row * stride;
    const uint16_t* source = row == 0 ? firstSources : out + offset;
#pragma GCC unroll 2
    for (int c = 0; c < kBlockSize; c += 2) {
      const bool firstPair = row == 0 && c == 0;
      const PairCodes codes(firstPair ? r.Window() << modeBits : r.Window());
      out[c] =
          static_cast<uint16_t>(CountedPixelCode::AddDelta(source[c], codes.first, kDeltaShift));
      out[c + 1] = static_cast<uint16_t>(
          CountedPixelCode::AddDelta(source[c + 1], codes.second, kDeltaShift));
      if (codes.TookRaw()) [[unlikely]] {
        if (CountedPixelCode::IsRaw(codes.first)) out[c] = static_cast<uint16_t>(s.NextRaw());
        if (CountedPixelCode::IsRaw(codes.second)) out[c + 1] = static_cast<uint16_t>(s.NextRaw());
      }
      r.Advance(firstPair ? codes.used + modeBits : codes.used);
    }
  }
}

// What the first block row reads above the picture: 0, in place of the
// row above a block and the pixel left of it.
constexpr uint16_t kZerosAbove[1 + kBlockSize] = {};

// Full blocks from column x of the block row at `blockRow` on, while the
// row lasts and the file holds kFullBlockFetchBytes ahead of the reader at
// the start of each (counted once, from kFullBlockAdvanceBytes); the same
// conditions as DecodeFullBlockUnchecked, except that the first block row
// may run from x = 4 on, with kZerosAbove above it. Returns the column where
// it stopped, after the first block whose raw pixel lay outside the file.
template <int kDeltaShift>
int32_t DecodeFullBlockRun(PredictiveState& s, uint16_t* blockRow, int32_t x, bool firstBlockRow) {
  const ptrdiff_t stride = s.stride;
  const NativeBitReader::Registers saved = s.bits.Save();
  WindowReader r(s.file.data(), saved);
  const size_t spare =
      s.file.size() - kFullBlockFetchBytes - static_cast<size_t>(saved.next - s.file.data());
  const int32_t blocks = static_cast<int32_t>(
      std::min<size_t>((s.width - x) / kBlockSize, 1 + spare / kFullBlockAdvanceBytes));
  uint16_t* block = blockRow + x;
  uint16_t* const stop = block + blocks * kBlockSize;
  constexpr uint32_t kModeBits = kPredictiveModeBits;
  do {
    // The block's rows from its start, not four pointers carried from block
    // to block: registers are scarce.
    __asm__("" : "+r"(block));
    const uint32_t mode = r.Window() >> (32 - kModeBits);
    if (mode == kPredictFromLeft) {
      DecodePairsFromLeft<kDeltaShift>(r, s, block, stride, kModeBits);
    } else if (mode == kPredictiveFillLeft) {
      for (int row = 0; row < kBlockSize; ++row) {
        uint16_t* out = block + row * stride;
        const uint16_t left = out[-1];
        out[0] = out[1] = out[2] = out[3] = left;
      }
      r.Advance(kModeBits);
    } else {
      static_assert(kPredictFromAbove >> 1 == 0 && kPredictFromAboveLeft >> 1 == 1);
      const ptrdiff_t offset = -stride - static_cast<ptrdiff_t>(mode >> 1);
      DecodePairsFromAbove<kDeltaShift>(r, s, block, stride, offset,
                                        firstBlockRow ? kZerosAbove : block + offset, kModeBits);
    }
    block += kBlockSize;
  } while (block < stop && !s.rawPastEnd);
  s.bits.Restore(r.Handover());
  return static_cast<int32_t>(block - blockRow);
}

// The whole-block form's walk on 32-bit processors: runs of full blocks
// where the plain offsets hold and the file reaches far enough, the careful
// decode elsewhere.
template <int kDeltaShift>
void WalkWholeBlocksInPairs(PredictiveState& s, const PathInput& input) {
  for (int32_t y = 0; y < input.height; y += kBlockSize) {
    uint16_t* blockRow = s.Row(y);
    for (int32_t x = 0; x < input.width;) {
      const bool plainOffsets = x > 0 || (y > 0 && input.stride == input.width);
      if (plainOffsets && s.bits.HasBytesAhead(kFullBlockFetchBytes)) {
        x = DecodeFullBlockRun<kDeltaShift>(s, blockRow, x, y == 0);
        if (s.rawPastEnd) return;
      } else {
        DecodeBlockCarefully(s, x, y, kBlockSize, kBlockSize);
        if (s.Failed()) return;
        x += kBlockSize;
      }
    }
  }
}

// Sources that lie later in raster order (the last pixel of an earlier row of
// the same block row) must read as 0, as in a zero-filled output.
void ClearLastColumn(const PathInput& input) {
  for (int32_t y = 0; y < input.height; ++y) PixelAt(input, input.width - 1, y) = 0;
}

bool HasPicture(const PathInput& input) {
  return input.width > 0 && input.height > 0;
}

// What both forms share around their walk over the blocks: the size check,
// the raw-stream offset, and the clearing of pixels that serve as sources
// before they are written. `walkBlocks` stops at the first failure.
template <class WalkBlocks>
VexoDecodeResult DecodeWith(const PathInput& input, WalkBlocks walkBlocks) {
  if (!PredictiveFileCanHold(input.width, input.height, input.file.size())) {
    return {VexoStatus::kTruncated, -1};
  }
  PredictiveState s(input, ReadLe32Signed(input.file.data() + kPredictiveRawOffsetField));
  if (HasPicture(input)) {
    ClearLastColumn(input);
    walkBlocks(s);
  }
  return s.Finish();
}

}  // namespace

VexoDecodeResult DecodePredictiveGeneral(const PathInput& input) {
  return DecodeWith(input, [&input](PredictiveState& s) {
    for (int32_t y = 0; y < input.height; y += kBlockSize) {
      const int bh = std::min<int32_t>(kBlockSize, input.height - y);
      for (int32_t x = 0; x < input.width; x += kBlockSize) {
        DecodeBlockCarefully(s, x, y, std::min<int32_t>(kBlockSize, input.width - x), bh);
        if (s.Failed()) return;
      }
    }
  });
}

VexoDecodeResult DecodePredictiveWholeBlocks(const PathInput& input) {
  return DecodeWith(input, [&input](PredictiveState& s) {
    if constexpr (kRefillPerPair) {
      return s.coarseShift != 0
                 ? WalkWholeBlocksInPairs<CountedPixelCode::kCoarseDeltaShift>(s, input)
                 : WalkWholeBlocksInPairs<CountedPixelCode::kFineDeltaShift>(s, input);
    }
    for (int32_t y = 0; y < input.height; y += kBlockSize) {
      uint16_t* blockRow = s.Row(y);
      for (int32_t x = 0; x < input.width; x += kBlockSize) {
        const bool plainOffsets = x > 0 || input.stride == input.width;
        if (y > 0 && plainOffsets && s.bits.HasBytesAhead(kFullBlockFetchBytes)) {
          DecodeFullBlockUnchecked(s, blockRow + x);
          if (s.rawPastEnd) return;
        } else {
          DecodeBlockCarefully(s, x, y, kBlockSize, kBlockSize);
          if (s.Failed()) return;
        }
      }
    }
  });
}

VexoDecodeResult DecodePredictive(const PathInput& input) {
  const bool wholeBlocks = input.width % kBlockSize == 0 && input.height % kBlockSize == 0;
  return wholeBlocks ? DecodePredictiveWholeBlocks(input) : DecodePredictiveGeneral(input);
}

}  // namespace vexo
