#include "fast/fast_decoder.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <limits>
#include <span>
#include <utility>

#include "common/bit_reader.h"
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

// Block bx of block row by, in its regular place. Above block row 0 and left
// of pixel 0 the chains start from 0; left of the first block column they
// start from the end of the picture row above.
FastBlockPlace PlaceInRows(uint16_t* image, const FastGeometry& g, int32_t bx, int32_t by) {
  uint16_t* pixels = image + kFastBlockSize * (by * g.stride + bx);
  const uint16_t* above = by > 0 ? pixels - g.stride : kNothingAbove.data();
  const ptrdiff_t leftOffset = bx > 0 ? -1 : g.width - 1 - g.stride;
  const uint16_t left = bx > 0 || by > 0 ? pixels[leftOffset] : uint16_t{0};
  return {pixels, g.stride, above, left, leftOffset};
}

// A block at a linear position of a picture whose rows follow each other
// (stride = width), where an undefined mode has shifted the later blocks.
FastBlockPlace PlaceAt(uint16_t* image, ptrdiff_t offset, ptrdiff_t width) {
  uint16_t* pixels = image + offset;
  const uint16_t* above = offset >= width ? pixels - width : kNothingAbove.data();
  return {pixels, width, above, offset > 0 ? pixels[-1] : uint16_t{0}, -1};
}

// After an undefined mode in a picture whose stride is wider than its width,
// a block's pixels keep their linear positions (row y x width + column), and
// each is mapped to its row on its own. Rare, so plain and checked.
struct LinearPicture {
  uint16_t* image;
  int64_t width;
  ptrdiff_t stride;

  uint16_t& At(int64_t position) const {
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

bool DecodeLinearBlock(uint32_t code, const LinearPicture& picture, int64_t offset,
                       FastStreams& streams, const FastSymbolDeltas& deltas) {
  CheckedStreams reader(streams);
  const int mode = static_cast<int>(code & kFastModeMask);
  const int64_t w = picture.width;
  if (mode == kFastModeRaw) {
    for (int i = 0; i < kFastBlockPixels; ++i) {
      picture.At(offset + i / kFastBlockSize * w + i % kFastBlockSize) = reader.NextRaw();
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
    uint16_t value = picture.Read(vertical ? first - w : first - 1);
    for (int k = 0; k < kFastBlockSize; ++k) {
      if (!fill) value = reader.DeltaPixel(symbols[kFastBlockSize * chain + k], value, deltas);
      picture.At(first + k * step) = value;
    }
  }
  return !streams.pastEnd;
}

template <int kBits, class Streams>
void RunDelta(bool vertical, Streams& reader, const FastBlockPlace& place,
              const FastSymbolDeltas& deltas) {
  if (vertical) {
    FastModeDelta<kBits, true>(reader, place, deltas);
  } else {
    FastModeDelta<kBits, false>(reader, place, deltas);
  }
}

// Runs the block operation of one defined block code, chosen by a switch so
// that every operation is inlined into the loop that calls it.
template <class Streams>
void RunBlock(uint32_t code, Streams& reader, const FastBlockPlace& place,
              const FastSymbolDeltas& deltas) {
  const bool vertical = (code & kFastVerticalBit) != 0;
  switch (code & kFastModeMask) {
    case kFastModeRaw:
      return FastModeRaw(reader, place, deltas);
    case 1:
      return RunDelta<1>(vertical, reader, place, deltas);
    case 2:
      return RunDelta<2>(vertical, reader, place, deltas);
    case 3:
      return RunDelta<3>(vertical, reader, place, deltas);
    case 4:
      return RunDelta<4>(vertical, reader, place, deltas);
    case 5:
      return RunDelta<5>(vertical, reader, place, deltas);
    case 6:
      return RunDelta<6>(vertical, reader, place, deltas);
    case 7:
      return RunDelta<7>(vertical, reader, place, deltas);
    case 8:
      return RunDelta<8>(vertical, reader, place, deltas);
    case 9:
      return RunDelta<9>(vertical, reader, place, deltas);
    case kFastModeFill:
      return vertical ? FastModeFill<true>(reader, place, deltas)
                      : FastModeFill<false>(reader, place, deltas);
    default:
      return;  // undefined modes are skipped before dispatch
  }
}

// Decodes one block of a defined mode near the end of the streams, checking
// every read; false when it read outside the file.
bool DecodeCheckedBlock(uint32_t code, const FastBlockPlace& place, FastStreams& streams,
                        const FastSymbolDeltas& deltas) {
  CheckedStreams reader(streams);
  RunBlock(code, reader, place, deltas);
  return !streams.pastEnd;
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

// How many of the next `wanted` blocks may read both streams without checks,
// whatever their modes: each block takes at most kFastSymbolBlockBytes symbol
// bytes and kFastRawBlockBytes raw bytes, and before each the unchecked reads
// must lie inside the file.
int32_t BlocksSafeAhead(const FastStreams& streams, int32_t wanted) {
  if (!streams.SymbolsAhead() || !streams.RawAhead()) return 0;
  const int64_t symbolRoom = streams.fileSize - kFastSymbolReadBytes - streams.symbol;
  const int64_t rawRoom = streams.fileSize - kFastRawBlockBytes - streams.raw;
  const int64_t safe =
      1 + std::min(symbolRoom / kFastSymbolBlockBytes, rawRoom / kFastRawBlockBytes);
  return static_cast<int32_t>(std::min<int64_t>(safe, wanted));
}

// The block codes of one picture and where the next block goes.
struct BlockWalk {
  NativeBitReader codes;
  ptrdiff_t blockOffset = 0;
  bool shifted = false;

  uint32_t NextCode() {
    if (codes.Count() < kFastBlockCodeBits) codes.Refill();
    const uint32_t code = codes.Peek(kFastBlockCodeBits);
    codes.Skip(kFastBlockCodeBits);
    return code;
  }
  // False for an undefined mode, which counts as a block but writes nothing
  // and leaves the offset.
  bool Accept(uint32_t code, std::span<uint16_t> image, const FastGeometry& g, int32_t bx,
              int32_t by) {
    if (IsDefinedMode(code & kFastModeMask)) return true;
    if (!shifted) ClearNotYetWritten(image, g, bx, by);
    shifted = true;
    return false;
  }
  // Where a defined block goes: its regular place until a shift, then its
  // linear position.
  FastBlockPlace Place(uint16_t* image, const FastGeometry& g, int32_t bx, int32_t by) const {
    return shifted ? PlaceAt(image, blockOffset, g.width) : PlaceInRows(image, g, bx, by);
  }
  // True once the blocks must be mapped to rows pixel by pixel.
  bool Linear(const FastGeometry& g) const { return shifted && g.stride != g.width; }
};

// Decodes blocks bx to end of block row by, whose streams are known to be in
// bounds, with the positions held in registers throughout. Returns the next
// block: `end`, or earlier when the blocks turned linear.
int32_t DecodeSafeBlocks(const PathInput& input, const FastGeometry& g,
                         const FastSymbolDeltas& deltas, FastStreams& streams, BlockWalk& walk,
                         int32_t bx, int32_t end, int32_t by) {
  UncheckedStreams reader(streams);
  for (; bx < end && !walk.Linear(g); ++bx) {
    const uint32_t code = walk.NextCode();
    if (!walk.Accept(code, input.image, g, bx, by)) continue;
    RunBlock(code, reader, walk.Place(input.image.data(), g, bx, by), deltas);
    walk.blockOffset += kFastBlockSize;
  }
  return bx;
}

// One block after the blocks turned linear; false when it read outside the
// file.
bool DecodeLinearBlockAt(const PathInput& input, const FastGeometry& g,
                         const FastSymbolDeltas& deltas, FastStreams& streams, BlockWalk& walk,
                         int32_t bx, int32_t by) {
  const uint32_t code = walk.NextCode();
  if (!walk.Accept(code, input.image, g, bx, by)) return true;
  const LinearPicture picture{input.image.data(), g.width, g.stride};
  if (!DecodeLinearBlock(code, picture, walk.blockOffset, streams, deltas)) return false;
  walk.blockOffset += kFastBlockSize;
  return true;
}

// Visits the blocks in order; false when a block read outside the file.
bool ScanBlocks(const PathInput& input, const FastGeometry& g, FastStreams& streams) {
  BlockWalk walk{NativeBitReader(input.file.data(), input.file.size(), kFastBlockCodeStart)};
  const FastSymbolDeltas& deltas = FastSymbolDeltasForQuality(input.quality);
  for (int32_t by = 0; by < g.blockRows; ++by) {
    int32_t bx = 0;
    while (bx < g.blocksPerRow) {
      if (walk.Linear(g)) {
        if (!DecodeLinearBlockAt(input, g, deltas, streams, walk, bx, by)) return false;
        ++bx;
        continue;
      }
      const int32_t safe = BlocksSafeAhead(streams, g.blocksPerRow - bx);
      if (safe > 0) {
        bx = DecodeSafeBlocks(input, g, deltas, streams, walk, bx, bx + safe, by);
        continue;
      }
      const uint32_t code = walk.NextCode();
      if (walk.Accept(code, input.image, g, bx, by)) {
        if (!DecodeCheckedBlock(code, walk.Place(input.image.data(), g, bx, by), streams, deltas)) {
          return false;
        }
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
