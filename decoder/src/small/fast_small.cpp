// The fast path in its small form: one routine for every delta block,
// whatever its symbol width and direction, and every stream read checked.
// The blocks are visited, cleared and counted exactly as the fast form does.
#include <algorithm>
#include <limits>

#include "common/bit_reader.h"
#include "common/little_endian.h"
#include "fast/fast_format.h"
#include "predictive/delta_tables.h"
#include "small/small_delta_table.h"
#include "small/small_paths.h"

namespace vexo {
namespace {

constexpr int kBlockSize = kFastBlockSize;

struct SmallFastState {
  const uint8_t* file;
  int64_t fileSize;
  int64_t symbol;  // file offset of the next symbol byte
  int64_t raw;     // file offset of the next raw pixel
  int deltaScale;
  bool pastEnd = false;

  uint16_t NextRaw() {
    if (raw < 0 || raw > fileSize - 2) {
      pastEnd = true;
      return 0;
    }
    const uint16_t pixel = ReadLe16(file + raw);
    raw += 2;
    return pixel;
  }
};

// The 16 symbols of a block of symbol width `bits`, most significant bit
// first in 2 x bits bytes; all 0 when those bytes are not all in the file.
struct BlockSymbols {
  BlockSymbols(SmallFastState& s, int symbolBits) : bits(symbolBits) {
    const int64_t count = 2 * symbolBits;
    if (s.symbol < 0 || s.symbol > s.fileSize - count) {
      s.pastEnd = true;
    } else {
      bytes = s.file + s.symbol;
    }
    s.symbol += count;
  }

  uint32_t operator[](int index) const {
    if (bytes == nullptr) return 0;
    uint32_t symbol = 0;
    for (int bit = index * bits; bit < (index + 1) * bits; ++bit) {
      symbol = symbol << 1 | ((bytes[bit >> 3] >> (7 - (bit & 7))) & 1);
    }
    return symbol;
  }

  int bits;
  const uint8_t* bytes = nullptr;
};

// A block at linear position `position` of the picture: where its pixel
// would be if the rows followed each other (row x width + column). Without
// undefined modes that is block (bx, by)'s regular place; after one, every
// later block keeps the position the walk gives it, which may wrap from one
// row into the next. Pixel (r, c) of the block (r and c from -1 to 3, -1
// being the chains' starts) lies at position + r x width + c.
struct BlockPlace {
  uint16_t* image;
  ptrdiff_t stride;
  int32_t width;
  int64_t row;  // of the block's top-left pixel
  int32_t column;
  bool vertical;

  BlockPlace(const PathInput& input, int64_t position, bool alongColumns)
      : image(input.image.data()),
        stride(input.stride),
        width(input.width),
        row(position / input.width),
        column(static_cast<int32_t>(position % input.width)),
        vertical(alongColumns) {}

  // Null above the picture, whose pixels read as 0.
  uint16_t* Pixel(int r, int c) const {
    int64_t y = row + r;
    int32_t x = column + c;
    if (x < 0) {
      x += width;
      --y;
    } else if (x >= width) {
      x -= width;
      ++y;
    }
    return y < 0 ? nullptr : image + y * stride + x;
  }
  uint16_t Source(int r, int c) const {
    const uint16_t* pixel = Pixel(r, c);
    return pixel == nullptr ? 0 : *pixel;
  }

  // Pixel k of chain i, and the pixel the chain starts from (read when the
  // chain begins: in a picture one block wide, a row starts from the last
  // pixel of the block's own row above).
  uint16_t* ChainPixel(int chain, int k) const {
    return vertical ? Pixel(k, chain) : Pixel(chain, k);
  }
  uint16_t ChainStart(int chain) const { return vertical ? Source(-1, chain) : Source(chain, -1); }
};

void RawBlock(SmallFastState& s, const BlockPlace& place) {
  for (int r = 0; r < kBlockSize; ++r) {
    for (int c = 0; c < kBlockSize; ++c) *place.Pixel(r, c) = s.NextRaw();
  }
}

// Symbol 0 takes a raw pixel; symbol s of 1 or more adds delta entry s - 1
// of the fast path's table, whose entry 0 is 0.
uint16_t DeltaPixel(SmallFastState& s, uint32_t symbol, uint16_t predecessor) {
  if (symbol == 0) return s.NextRaw();
  if (symbol == 1) return predecessor;
  return static_cast<uint16_t>(predecessor +
                               ScaledDelta(static_cast<int>(symbol) - 2, s.deltaScale));
}

void DeltaBlock(SmallFastState& s, const BlockPlace& place, int symbolBits) {
  const BlockSymbols symbols(s, symbolBits);
  for (int chain = 0; chain < kBlockSize; ++chain) {
    uint16_t value = place.ChainStart(chain);
    for (int k = 0; k < kBlockSize; ++k) {
      value = DeltaPixel(s, symbols[kBlockSize * chain + k], value);
      *place.ChainPixel(chain, k) = value;
    }
  }
}

void FillBlock(const BlockPlace& place) {
  for (int chain = 0; chain < kBlockSize; ++chain) {
    const uint16_t value = place.ChainStart(chain);
    for (int k = 0; k < kBlockSize; ++k) *place.ChainPixel(chain, k) = value;
  }
}

void RunBlock(SmallFastState& s, uint32_t mode, const BlockPlace& place) {
  if (mode == kFastModeRaw) return RawBlock(s, place);
  if (mode == kFastModeFill) return FillBlock(place);
  DeltaBlock(s, place, static_cast<int>(mode));
}

void ClearRows(const PathInput& input, int32_t firstRow, int32_t endRow, int32_t firstColumn) {
  for (int32_t y = firstRow; y < endRow; ++y) {
    uint16_t* row = &PixelAt(input, 0, y);
    std::fill(row + firstColumn, row + input.width, uint16_t{0});
  }
}

struct Geometry {
  int32_t blocksPerRow;
  int32_t blockRows;
};

// As the fast form: the pixels read before they are written (the last
// column) and those no whole block covers are cleared.
void ClearOutsideRegularWrites(const PathInput& input, const Geometry& g) {
  if (input.width < 1 || input.height < 1) return;
  const int32_t coveredRows = g.blockRows * kBlockSize;
  const int32_t coveredColumns = g.blocksPerRow * kBlockSize;
  ClearRows(input, 0, coveredRows, coveredColumns < input.width ? coveredColumns : input.width - 1);
  ClearRows(input, coveredRows, input.height, 0);
}

// False when a block read outside the file.
bool ScanBlocks(const PathInput& input, const Geometry& g, SmallFastState& s) {
  VexoBitReader codes(input.file.data(), input.file.size(), kFastBlockCodeStart);
  const ptrdiff_t rowStep = 3 * static_cast<ptrdiff_t>(input.width) + input.width % kBlockSize;
  ptrdiff_t offset = 0;
  bool shifted = false;
  for (int32_t by = 0; by < g.blockRows; ++by) {
    for (int32_t bx = 0; bx < g.blocksPerRow; ++bx) {
      const uint32_t code = codes.Read(kFastBlockCodeBits);
      const uint32_t mode = code & kFastModeMask;
      if (mode > kFastModeFill) {
        // An undefined mode writes nothing and shifts every later block,
        // which may then read or leave any pixel not written yet.
        if (!shifted) {
          ClearRows(input, by * kBlockSize, by * kBlockSize + kBlockSize, bx * kBlockSize);
          ClearRows(input, by * kBlockSize + kBlockSize, input.height, 0);
        }
        shifted = true;
        continue;
      }
      const bool vertical = (code & kFastVerticalBit) != 0;
      RunBlock(s, mode, BlockPlace(input, offset, vertical));
      if (s.pastEnd) return false;
      offset += kBlockSize;
    }
    offset += rowStep;
  }
  return true;
}

// The raw-stream end offset, or -1 when it is not positive or does not fit.
int32_t RawEndResult(int64_t rawEnd) {
  if (rawEnd > std::numeric_limits<int32_t>::max()) return -1;
  return PositiveOrMinusOne(rawEnd);
}

}  // namespace

VexoDecodeResult DecodeFastSmall(const PathInput& input) {
  if (!FastFileCanHold(input.width, input.height, input.file.size())) {
    return {VexoStatus::kTruncated, -1};
  }
  const int64_t symbolOffset = ReadLe32Signed(input.file.data() + kFastSymbolOffsetField);
  const int64_t symbolSpan = ReadLe32Signed(input.file.data() + kFastSymbolSpanField);
  const Geometry g{static_cast<int32_t>(BlocksInside(input.width)),
                   static_cast<int32_t>(BlocksInside(input.height))};
  ClearOutsideRegularWrites(input, g);
  SmallFastState s{input.file.data(), static_cast<int64_t>(input.file.size()), symbolOffset,
                   symbolOffset + symbolSpan, UsesCoarseDeltas(input.quality) ? 2 : 1};
  if (!ScanBlocks(input, g, s)) return {VexoStatus::kTruncated, -1};
  return {VexoStatus::kOk, RawEndResult(s.raw)};
}

}  // namespace vexo
