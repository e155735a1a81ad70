#include "fast/fast_decoder.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <limits>
#include <span>
#include <utility>

#include "common/little_endian.h"
#include "fast/fast_block_modes.h"
#include "fast/fast_delta_table.h"
#include "fast/fast_streams.h"

namespace vexo {
namespace {

constexpr std::array<uint16_t, kFastBlockSize> kNothingAbove{};

struct FastGeometry {
  explicit FastGeometry(const PathInput& input)
      : width(input.width),
        height(input.height),
        stride(input.stride),
        blocksPerRow(static_cast<int32_t>(BlocksInside(input.width))),
        blockRows(static_cast<int32_t>(BlocksInside(input.height))),
        rowStep(3 * static_cast<ptrdiff_t>(input.width) + input.width % kFastBlockSize) {}

  int32_t width;
  int32_t height;
  ptrdiff_t stride;
  int32_t blocksPerRow;
  int32_t blockRows;
  // Added to the output offset after each block row, so that without
  // undefined modes block row by starts at picture row 4 x by, column 0,
  // whatever the width.
  ptrdiff_t rowStep;
};

bool IsDefinedMode(uint32_t mode) {
  return mode <= kFastModeFill;
}

// A picture whose block at linear position p (row y x width + column, as if
// the rows followed each other) has its top-left pixel at row p / width,
// column p % width. Without undefined modes that is block (bx, by)'s regular
// place; after one, every later block keeps the position the walk gives it,
// and each pixel is mapped to its row on its own. For the few blocks the
// block loop leaves: plain and checked.
struct LinearPicture {
  uint16_t* image;
  int64_t width;
  ptrdiff_t stride;

  uint16_t& At(int64_t position) const {
    if (stride == width) return image[position];
    return image[position / width * stride + position % width];
  }
  // Above the first row and left of pixel 0 the chains start from 0.
  uint16_t Read(int64_t position) const { return position >= 0 ? At(position) : uint16_t{0}; }
};

template <int... kBits>
FastSymbols CutSymbolsOfWidth(int bits, const uint8_t* bytes,
                              std::integer_sequence<int, kBits...>) {
  FastSymbols symbols{};
  ((bits == kBits + 1 ? (symbols = CutSymbols<kBits + 1>(bytes), 0) : 0), ...);
  return symbols;
}

// One block of a defined mode at a linear position, every read checked;
// false when it read outside the file.
bool DecodeLinearBlock(uint32_t code, const LinearPicture& picture, int64_t offset,
                       FastStreams& streams, const FastSymbolDeltas& deltas) {
  CheckedStreams reader(streams);
  const int mode = static_cast<int>(code & kFastModeMask);
  const int64_t w = picture.width;
  if (mode == kFastModeRaw) {
    for (int i = 0; i < kFastBlockPixels; ++i) {
      picture.At(offset + i / kFastBlockSize * w + i % kFastBlockSize) =
          static_cast<uint16_t>(reader.NextRaw());
    }
    return !streams.pastEnd;
  }
  const bool fill = mode == kFastModeFill;
  const FastSymbols symbols =
      fill ? FastSymbols{}
           : CutSymbolsOfWidth(mode, reader.SymbolBytes(2 * mode),
                               std::make_integer_sequence<int, kFastMaxSymbolBits>{});
  const bool vertical = (code & kFastVerticalBit) != 0;
  for (int chain = 0; chain < kFastBlockSize; ++chain) {
    const int64_t first = vertical ? offset + chain : offset + chain * w;
    const int64_t step = vertical ? w : 1;
    uint32_t value = picture.Read(vertical ? first - w : first - 1);
    for (int k = 0; k < kFastBlockSize; ++k) {
      if (!fill) {
        value = fast_detail::NextPixel<kFastMaxSymbolBits>(
            reader, symbols[kFastBlockSize * chain + k], value, deltas);
      }
      picture.At(first + k * step) = static_cast<uint16_t>(value);
    }
  }
  return !streams.pastEnd;
}

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

void ClearRows(std::span<uint16_t> image, const FastGeometry& g, int32_t firstRow, int32_t endRow,
               int32_t firstColumn) {
  for (int32_t y = firstRow; y < endRow; ++y) {
    const auto row = image.subspan(static_cast<size_t>(y * g.stride), static_cast<size_t>(g.width));
    std::fill(row.begin() + firstColumn, row.end(), uint16_t{0});
  }
}

// The output must equal a decode into a zero-filled buffer. In the regular
// block layout the only pixels read before they are written are the last
// column's (the starts of the horizontal chains in block column 0), and the
// columns and rows outside whole blocks are never written; both are cleared.
void ClearOutsideRegularWrites(std::span<uint16_t> image, const FastGeometry& g) {
  if (g.width < 1 || g.height < 1) return;
  const int32_t coveredRows = g.blockRows * kFastBlockSize;
  const int32_t coveredColumns = g.blocksPerRow * kFastBlockSize;
  const int32_t firstCleared = coveredColumns < g.width ? coveredColumns : g.width - 1;
  ClearRows(image, g, 0, coveredRows, firstCleared);
  ClearRows(image, g, coveredRows, g.height, 0);
}

// An undefined mode shifts every later block, which may then read or leave
// any pixel not written yet. Up to the first such mode the layout is regular,
// so everything from block (bx, by) on is cleared once.
void ClearNotYetWritten(std::span<uint16_t> image, const FastGeometry& g, int32_t bx, int32_t by) {
  const int32_t top = by * kFastBlockSize;
  ClearRows(image, g, top, top + kFastBlockSize, bx * kFastBlockSize);
  ClearRows(image, g, top + kFastBlockSize, g.height, 0);
}

// The block-code reader, as the format describes it: a byte is appended
// whenever fewer than 5 bits are left. The file holds a code for every block
// (DecodeFast checks that first), so no fetch needs a check.
struct FastCodeReader {
  const uint8_t* nextByte;
  uint32_t bits = 0;  // the latest bits fetched, the unread ones at the bottom
  int32_t bitsLeft = 0;

  uint32_t Next() {
    if (bitsLeft < kFastBlockCodeBits) {
      bits = bits << 8 | *nextByte++;
      bitsLeft += 8;
    }
    bitsLeft -= kFastBlockCodeBits;
    return bits >> bitsLeft & ((1u << kFastBlockCodeBits) - 1);
  }
};

// The block codes of one picture and where the next block goes.
struct BlockWalk {
  FastCodeReader codes;
  ptrdiff_t blockOffset = 0;
  bool shifted = false;

  uint32_t NextCode() { return codes.Next(); }
  // An undefined mode at block (bx, by): it counts as a block but writes
  // nothing and leaves the offset, so every later block is shifted.
  void Skip(std::span<uint16_t> image, const FastGeometry& g, int32_t bx, int32_t by) {
    if (!shifted) ClearNotYetWritten(image, g, bx, by);
    shifted = true;
  }
  // False for an undefined mode.
  bool Accept(uint32_t code, std::span<uint16_t> image, const FastGeometry& g, int32_t bx,
              int32_t by) {
    if (IsDefinedMode(code & kFastModeMask)) return true;
    Skip(image, g, bx, by);
    return false;
  }
};

// The block loop: decodes blocks bx on of block row by in their regular
// places (so before any undefined mode, and not the picture's first block),
// with the positions held in registers, for as long as the symbol stream has
// room for a block. Returns the next block; sets pastEnd when a raw pixel lay
// outside the file.
int32_t DecodeRegularBlocks(const PathInput& input, const FastGeometry& g,
                            const FastSymbolDeltas& deltas, FastStreams& streams, BlockWalk& walk,
                            int32_t bx, int32_t by) {
  LoopStreams reader(streams);
  FastCodeReader codes = walk.codes;
  uint16_t* const start = input.image.data() + kFastBlockSize * (by * g.stride + bx);
  uint16_t* const end = start + kFastBlockSize * (g.blocksPerRow - bx);
  const ptrdiff_t stride = g.stride;
  const bool top = by == 0;
  const uint16_t* above = top ? kNothingAbove.data() : start - stride;
  const ptrdiff_t aboveStep = top ? 0 : kFastBlockSize;
  ptrdiff_t leftOffset = bx > 0 ? -1 : g.width - 1 - stride;
  uint16_t* pixels = start;
  bool undefined = false;
  for (; pixels != end && reader.MayDecodeBlock(); pixels += kFastBlockSize) {
    if (!RunBlock(codes.Next(), reader, FastBlockPlace{pixels, stride, above, pixels + leftOffset},
                  deltas)) [[unlikely]] {
      undefined = true;
      break;
    }
    above += aboveStep;
    leftOffset = -1;
  }
  walk.codes = codes;
  walk.blockOffset += pixels - start;
  bx += static_cast<int32_t>((pixels - start) / kFastBlockSize);
  streams.pastEnd = reader.PastEnd();
  if (undefined) {
    walk.Skip(input.image, g, bx, by);
    return bx + 1;
  }
  return bx;
}

// Whether the block loop may start: both stream positions lie in the file,
// the symbol stream with room for a block.
bool LoopMayStart(const FastStreams& streams) {
  return streams.SymbolsAhead() && streams.raw >= 0 && streams.raw <= streams.fileSize;
}

// Visits the blocks in order; false when a block read outside the file.
bool ScanBlocks(const PathInput& input, const FastGeometry& g, FastStreams& streams) {
  BlockWalk walk{FastCodeReader{input.file.data() + kFastBlockCodeStart}};
  const FastSymbolDeltas& deltas = FastSymbolDeltasForQuality(input.quality);
  const LinearPicture picture{input.image.data(), g.width, g.stride};
  for (int32_t by = 0; by < g.blockRows; ++by) {
    int32_t bx = 0;
    while (bx < g.blocksPerRow) {
      if (!walk.shifted && (bx > 0 || by > 0) && LoopMayStart(streams)) {
        bx = DecodeRegularBlocks(input, g, deltas, streams, walk, bx, by);
        if (streams.pastEnd) return false;
        if (bx == g.blocksPerRow) break;
      }
      const uint32_t code = walk.NextCode();
      if (walk.Accept(code, input.image, g, bx, by)) {
        if (!DecodeLinearBlock(code, picture, walk.blockOffset, streams, deltas)) return false;
        walk.blockOffset += kFastBlockSize;
      }
      ++bx;
    }
    walk.blockOffset += g.rowStep;
  }
  return true;
}

// The raw-stream end offset, or -1 when it is not positive. An offset that
// does not fit the 32-bit result (only possible for a raw-pixel stream that is
// never read) cannot be an amount of data consumed, so it reports -1 too.
int32_t RawEndResult(int64_t rawEnd) {
  if (rawEnd > std::numeric_limits<int32_t>::max()) return -1;
  return PositiveOrMinusOne(rawEnd);
}

}  // namespace

VexoDecodeResult DecodeFast(const PathInput& input) {
  const std::span<const uint8_t> file = input.file;
  if (!FastFileCanHold(input.width, input.height, file.size())) {
    return {VexoStatus::kTruncated, -1};
  }
  const int64_t symbolOffset = ReadLe32Signed(file.data() + kFastSymbolOffsetField);
  const int64_t symbolSpan = ReadLe32Signed(file.data() + kFastSymbolSpanField);
  const FastGeometry geometry(input);

  ClearOutsideRegularWrites(input.image, geometry);
  FastStreams streams{file.data(), static_cast<int64_t>(file.size()), symbolOffset,
                      symbolOffset + symbolSpan};
  if (!ScanBlocks(input, geometry, streams)) return {VexoStatus::kTruncated, -1};
  return {VexoStatus::kOk, RawEndResult(streams.raw)};
}

}  // namespace vexo
