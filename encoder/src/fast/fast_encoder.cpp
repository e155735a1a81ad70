#include "fast/fast_encoder.h"

#include <algorithm>
#include <array>
#include <bit>
#include <optional>

#include "common/bit_writer.h"
#include "common/file_layout.h"
#include "fast/fast_delta_table.h"
#include "fast/fast_format.h"

namespace vexo {
namespace {

// For every 16-bit difference, the smallest symbol that adds it (0: none).
class FastSymbolIndex {
 public:
  explicit FastSymbolIndex(const FastSymbolDeltas& deltas) {
    for (int symbol = kFastSymbolCount - 1; symbol >= 1; --symbol) {
      symbols_[deltas[symbol]] = static_cast<uint16_t>(symbol);
    }
  }
  uint16_t For(uint16_t difference) const { return symbols_[difference]; }

  static const FastSymbolIndex& ForQuality(uint8_t quality) {
    static const FastSymbolIndex scale1(FastSymbolDeltasScale1);
    static const FastSymbolIndex scale2(FastSymbolDeltasScale2);
    return UsesCoarseDeltas(quality) ? scale2 : scale1;
  }

 private:
  std::array<uint16_t, 1u << 16> symbols_{};
};

// Bits a symbol needs; raw (0) fits every width.
int SymbolWidth(uint16_t symbol) {
  return symbol == 0 ? 0 : std::bit_width(symbol);
}

enum class Direction { kHorizontal = 0, kVertical = 1 };

// One block's pixels in the decoding order of a direction, with each
// chain's starting pixel when the decoder has written it, and the symbol
// each pixel needs at the widest width (0 when only a raw pixel will do).
struct Chains {
  std::array<uint16_t, kFastBlockPixels> pixels{};
  std::array<std::optional<uint16_t>, kFastBlockSize> starts{};
  std::array<uint16_t, kFastBlockPixels> symbols{};
};

struct BlockCode {
  Direction direction = Direction::kHorizontal;
  int mode = kFastModeRaw;
  int bits = kFastBlockCodeBits + kFastBlockPixels * kFastRawPixelBits;
};

class FastEncoder {
 public:
  FastEncoder(std::span<const uint16_t> pixels, int32_t width, uint8_t quality)
      : pixels_(pixels), width_(width), index_(FastSymbolIndex::ForQuality(quality)) {}

  void EncodeBlock(int32_t blockRow, int32_t blockColumn) {
    const int64_t topLeft = (int64_t{blockRow} * width_ + blockColumn) * kFastBlockSize;
    const bool firstRow = blockRow == 0;
    const bool firstColumn = blockColumn == 0;
    BlockCode best;
    Chains chains[2] = {ChainsOf(topLeft, Direction::kHorizontal, firstRow, firstColumn),
                        ChainsOf(topLeft, Direction::kVertical, firstRow, firstColumn)};
    for (const Direction direction : {Direction::kHorizontal, Direction::kVertical}) {
      const Chains& c = chains[static_cast<int>(direction)];
      if (IsFill(c))
        best = std::min(best, BlockCode{direction, kFastModeFill, kFastBlockCodeBits}, Cheaper);
      best = std::min(best, CheapestDelta(c, direction), Cheaper);
    }
    Emit(best, chains[static_cast<int>(best.direction)], topLeft);
  }

  const BitWriter& BlockCodes() const { return blockCodes_; }
  const BitWriter& Symbols() const { return symbols_; }
  const std::vector<uint16_t>& RawPixels() const { return raw_; }

 private:
  static bool Cheaper(const BlockCode& a, const BlockCode& b) { return a.bits < b.bits; }

  // Chain starts the decoder has not written (above the picture, before it,
  // or left of a later block of the same block row) are left empty, so
  // nothing is predicted from them.
  Chains ChainsOf(int64_t topLeft, Direction direction, bool firstRow, bool firstColumn) const {
    Chains chains;
    for (int chain = 0; chain < kFastBlockSize; ++chain) {
      for (int step = 0; step < kFastBlockSize; ++step) {
        const int row = direction == Direction::kVertical ? step : chain;
        const int column = direction == Direction::kVertical ? chain : step;
        chains.pixels[chain * kFastBlockSize + step] = At(topLeft + int64_t{row} * width_ + column);
      }
      if (direction == Direction::kVertical && !firstRow) {
        chains.starts[chain] = At(topLeft - width_ + chain);
      } else if (direction == Direction::kHorizontal && !firstColumn) {
        chains.starts[chain] = At(topLeft + int64_t{chain} * width_ - 1);
      } else if (direction == Direction::kHorizontal && chain == 0 && !firstRow) {
        chains.starts[chain] = At(topLeft - 1);  // end of the row above, decoded
      } else if (direction == Direction::kHorizontal && width_ == kFastBlockSize && chain > 0) {
        chains.starts[chain] = At(topLeft + int64_t{chain} * width_ - 1);  // same block
      }
    }
    chains.symbols = SymbolsOf(chains);
    return chains;
  }

  static bool IsFill(const Chains& c) {
    for (int chain = 0; chain < kFastBlockSize; ++chain) {
      if (!c.starts[chain]) return false;
      for (int step = 0; step < kFastBlockSize; ++step) {
        if (c.pixels[chain * kFastBlockSize + step] != *c.starts[chain]) return false;
      }
    }
    return true;
  }

  std::array<uint16_t, kFastBlockPixels> SymbolsOf(const Chains& c) const {
    std::array<uint16_t, kFastBlockPixels> symbols{};
    for (int chain = 0; chain < kFastBlockSize; ++chain) {
      std::optional<uint16_t> predecessor = c.starts[chain];
      for (int step = 0; step < kFastBlockSize; ++step) {
        const uint16_t pixel = c.pixels[chain * kFastBlockSize + step];
        if (predecessor) {
          symbols[chain * kFastBlockSize + step] =
              index_.For(static_cast<uint16_t>(pixel - *predecessor));
        }
        predecessor = pixel;
      }
    }
    return symbols;
  }

  static BlockCode CheapestDelta(const Chains& c, Direction direction) {
    BlockCode best;
    for (int width = 1; width <= kFastMaxSymbolBits; ++width) {
      int rawPixels = 0;
      for (const uint16_t symbol : c.symbols) {
        rawPixels += symbol == 0 || SymbolWidth(symbol) > width;
      }
      const int bits =
          kFastBlockCodeBits + kFastBlockPixels * width + rawPixels * kFastRawPixelBits;
      if (bits < best.bits) best = {direction, width, bits};
    }
    return best;
  }

  void Emit(const BlockCode& code, const Chains& c, int64_t topLeft) {
    blockCodes_.Put(static_cast<uint32_t>(code.direction), 1);
    blockCodes_.Put(static_cast<uint32_t>(code.mode), kFastModeBits);
    if (code.mode == kFastModeFill) return;
    if (code.mode == kFastModeRaw) {
      for (int row = 0; row < kFastBlockSize; ++row) {
        for (int column = 0; column < kFastBlockSize; ++column) {
          raw_.push_back(At(topLeft + int64_t{row} * width_ + column));
        }
      }
      return;
    }
    for (int k = 0; k < kFastBlockPixels; ++k) {
      const bool fits = c.symbols[k] != 0 && SymbolWidth(c.symbols[k]) <= code.mode;
      symbols_.Put(fits ? c.symbols[k] : 0, code.mode);
      if (!fits) raw_.push_back(c.pixels[k]);
    }
  }

  uint16_t At(int64_t index) const { return pixels_[static_cast<size_t>(index)]; }

  std::span<const uint16_t> pixels_;
  int32_t width_;
  const FastSymbolIndex& index_;
  BitWriter blockCodes_;
  BitWriter symbols_;
  std::vector<uint16_t> raw_;
};

}  // namespace

std::string FastPathSizeProblem(int32_t width, int32_t height) {
  if (width % kFastBlockSize == 0 && height % kFastBlockSize == 0) return {};
  return "the fast path codes whole 4 x 4 blocks only, so it cannot hold a " +
         std::to_string(width) + " x " + std::to_string(height) +
         " picture; use sides that are multiples of 4, or another path";
}

std::vector<uint8_t> EncodeFast(std::span<const uint16_t> pixels, const VexoHeader& header) {
  const int32_t width = header.SignedWidth();
  const int32_t height = header.SignedHeight();
  FastEncoder encoder(pixels, width, header.quality);
  for (int32_t blockRow = 0; blockRow < height / kFastBlockSize; ++blockRow) {
    for (int32_t blockColumn = 0; blockColumn < width / kFastBlockSize; ++blockColumn) {
      encoder.EncodeBlock(blockRow, blockColumn);
    }
  }
  const auto& blockCodes = encoder.BlockCodes().Bytes();
  const auto& symbols = encoder.Symbols().Bytes();
  std::vector<uint8_t> file = MakeVexoHeader(header);
  // Streams in the order block codes, symbols, raw pixels, with no gaps.
  AppendLe32(file,
             static_cast<int32_t>(kFastBlockCodeStart + std::max<size_t>(1, blockCodes.size())));
  AppendLe32(file, static_cast<int32_t>(symbols.size()));
  file.insert(file.end(), blockCodes.begin(), blockCodes.end());
  if (blockCodes.empty()) file.push_back(0);
  file.insert(file.end(), symbols.begin(), symbols.end());
  for (const uint16_t pixel : encoder.RawPixels()) AppendLe16(file, pixel);
  return file;
}

}  // namespace vexo
