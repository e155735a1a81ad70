#include "fast/fast_encoder.h"

#include <algorithm>
#include <array>
#include <bit>

#include "common/bit_packer.h"
#include "common/file_layout.h"
#include "fast/fast_delta_table.h"
#include "fast/fast_format.h"

namespace vexo {
namespace {

// For every 16-bit difference, the smallest symbol that adds it (0: none)
// and the symbol width that symbol needs (kNoWidth: none, a raw pixel).
constexpr int kNoWidth = kFastMaxSymbolBits + 1;

class FastSymbolIndex {
 public:
  explicit FastSymbolIndex(const FastSymbolDeltas& deltas) {
    widths_.fill(kNoWidth);
    for (int symbol = kFastSymbolCount - 1; symbol >= 1; --symbol) {
      symbols_[deltas[symbol]] = static_cast<uint16_t>(symbol);
      widths_[deltas[symbol]] = static_cast<uint8_t>(std::bit_width(unsigned(symbol)));
    }
  }
  uint16_t For(uint16_t difference) const { return symbols_[difference]; }
  int WidthFor(uint16_t difference) const { return widths_[difference]; }

  static const FastSymbolIndex& ForQuality(uint8_t quality) {
    static const FastSymbolIndex scale1(FastSymbolDeltasScale1);
    static const FastSymbolIndex scale2(FastSymbolDeltasScale2);
    return UsesCoarseDeltas(quality) ? scale2 : scale1;
  }

 private:
  std::array<uint16_t, 1u << 16> symbols_{};
  std::array<uint8_t, 1u << 16> widths_{};
};

enum class Direction { kHorizontal = 0, kVertical = 1 };

struct BlockCode {
  Direction direction = Direction::kHorizontal;
  int mode = kFastModeRaw;
  int bits = kFastBlockCodeBits + kFastBlockPixels * kFastRawPixelBits;
};

// One direction of a block: the difference of each pixel from its
// predecessor in the decoding order, and which pixels have a predecessor the
// decoder has written (every pixel but a chain's first, whose chain start
// may lie above the picture, before it, or left of a later block of the
// same block row).
struct Chains {
  std::array<uint16_t, kFastBlockPixels> differences{};
  std::array<bool, kFastBlockSize> startKnown{};
};

// Effort 0 codes every block along its rows; every higher effort tries both
// directions, and so every code the format has for a lossless block, which
// gives the smallest file there is (a lossless block's code changes nothing
// later blocks predict from, and the streams have no state across blocks
// beyond their lengths).
constexpr int kBothDirectionsEffort = 1;

class FastEncoder {
 public:
  FastEncoder(std::span<const uint16_t> pixels, int32_t width, int32_t height, uint8_t quality,
              int effort)
      : pixels_(pixels),
        width_(width),
        bothDirections_(effort >= kBothDirectionsEffort),
        index_(FastSymbolIndex::ForQuality(quality)) {
    const size_t blocks =
        static_cast<size_t>(width / kFastBlockSize) * static_cast<size_t>(height / kFastBlockSize);
    blockCodes_.Reserve(blocks * kFastBlockCodeBits / 8 + 1);
    symbols_.Reserve(blocks * 8);
  }

  void EncodeBlock(int32_t blockRow, int32_t blockColumn) {
    const int64_t topLeft = (int64_t{blockRow} * width_ + blockColumn) * kFastBlockSize;
    const bool firstRow = blockRow == 0;
    const bool firstColumn = blockColumn == 0;
    // Ties keep the first found, in the order raw, horizontal fill and
    // widths 1 to 9, vertical fill and widths.
    BlockCode best;
    Chains chains[2];
    for (const Direction direction : {Direction::kHorizontal, Direction::kVertical}) {
      if (direction == Direction::kVertical && !bothDirections_) break;
      Chains& c = chains[static_cast<int>(direction)];
      c = ChainsOf(topLeft, direction, firstRow, firstColumn);
      Consider(c, direction, best);
    }
    Emit(best, chains[static_cast<int>(best.direction)], topLeft);
  }

  // Each once, when every block is coded.
  std::vector<uint8_t> BlockCodes() { return blockCodes_.Finish(); }
  std::vector<uint8_t> Symbols() { return symbols_.Finish(); }
  std::vector<uint16_t>& RawPixels() { return raw_; }

 private:
  uint16_t At(int64_t index) const { return pixels_[static_cast<size_t>(index)]; }

  // Pixel k of the decoding order of a direction.
  int64_t PixelIndex(int64_t topLeft, Direction direction, int k) const {
    const int chain = k / kFastBlockSize;
    const int step = k % kFastBlockSize;
    return direction == Direction::kVertical ? topLeft + int64_t{step} * width_ + chain
                                             : topLeft + int64_t{chain} * width_ + step;
  }

  Chains ChainsOf(int64_t topLeft, Direction direction, bool firstRow, bool firstColumn) const {
    Chains c;
    for (int chain = 0; chain < kFastBlockSize; ++chain) {
      int64_t start;
      if (direction == Direction::kVertical) {
        c.startKnown[chain] = !firstRow;
        start = topLeft - width_ + chain;
      } else {
        // Left of the block; in the first block column that is the end of
        // the row above, decoded for the first chain below the first block
        // row, and for the others only when the block is the whole width.
        c.startKnown[chain] = !firstColumn || (chain == 0 ? !firstRow : width_ == kFastBlockSize);
        start = topLeft + int64_t{chain} * width_ - 1;
      }
      uint16_t predecessor = c.startKnown[chain] ? At(start) : 0;
      for (int step = 0; step < kFastBlockSize; ++step) {
        const int k = chain * kFastBlockSize + step;
        const uint16_t pixel = At(PixelIndex(topLeft, direction, k));
        c.differences[k] = static_cast<uint16_t>(pixel - predecessor);
        predecessor = pixel;
      }
    }
    return c;
  }

  bool Fits(const Chains& c, int k, int width) const {
    return (k % kFastBlockSize != 0 || c.startKnown[k / kFastBlockSize]) &&
           index_.WidthFor(c.differences[k]) <= width;
  }

  // The fill and every symbol width of one direction, against the best so
  // far.
  void Consider(const Chains& c, Direction direction, BlockCode& best) const {
    // needing[w]: pixels whose narrowest symbol is w bits (kNoWidth: raw).
    std::array<int, kNoWidth + 1> needing{};
    bool fills = true;
    for (int k = 0; k < kFastBlockPixels; ++k) {
      const bool known = k % kFastBlockSize != 0 || c.startKnown[k / kFastBlockSize];
      fills = fills && known && c.differences[k] == 0;
      ++needing[known ? index_.WidthFor(c.differences[k]) : kNoWidth];
    }
    if (fills && kFastBlockCodeBits < best.bits)
      best = {direction, kFastModeFill, kFastBlockCodeBits};
    int raw = kFastBlockPixels;
    for (int width = 1; width <= kFastMaxSymbolBits; ++width) {
      raw -= needing[width];
      const int bits = kFastBlockCodeBits + kFastBlockPixels * width + raw * kFastRawPixelBits;
      if (bits < best.bits) best = {direction, width, bits};
    }
  }

  void Emit(const BlockCode& code, const Chains& c, int64_t topLeft) {
    blockCodes_.Put(
        static_cast<uint32_t>(code.direction) << kFastModeBits | static_cast<uint32_t>(code.mode),
        kFastBlockCodeBits);
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
      const bool fits = Fits(c, k, code.mode);
      symbols_.Put(fits ? index_.For(c.differences[k]) : 0, code.mode);
      if (!fits) raw_.push_back(At(PixelIndex(topLeft, code.direction, k)));
    }
  }

  std::span<const uint16_t> pixels_;
  int32_t width_;
  bool bothDirections_;
  const FastSymbolIndex& index_;
  BitPacker blockCodes_;
  BitPacker symbols_;
  std::vector<uint16_t> raw_;
};

}  // namespace

std::string FastPathSizeProblem(int32_t width, int32_t height) {
  if (width % kFastBlockSize == 0 && height % kFastBlockSize == 0) return {};
  return "the fast path codes whole 4 x 4 blocks only, so it cannot hold a " +
         std::to_string(width) + " x " + std::to_string(height) +
         " picture; use sides that are multiples of 4, or another path";
}

std::vector<uint8_t> EncodeFast(std::span<const uint16_t> pixels, const VexoHeader& header,
                                int effort) {
  const int32_t width = header.SignedWidth();
  const int32_t height = header.SignedHeight();
  FastEncoder encoder(pixels, width, height, header.quality, effort);
  for (int32_t blockRow = 0; blockRow < height / kFastBlockSize; ++blockRow) {
    for (int32_t blockColumn = 0; blockColumn < width / kFastBlockSize; ++blockColumn) {
      encoder.EncodeBlock(blockRow, blockColumn);
    }
  }
  const std::vector<uint8_t> blockCodes = encoder.BlockCodes();
  const std::vector<uint8_t> symbols = encoder.Symbols();
  const std::vector<uint16_t>& raw = encoder.RawPixels();
  std::vector<uint8_t> file = MakeVexoHeader(header);
  file.reserve(kFastBlockCodeStart + blockCodes.size() + 1 + symbols.size() + 2 * raw.size());
  // Streams in the order block codes, symbols, raw pixels, with no gaps.
  AppendLe32(file,
             static_cast<int32_t>(kFastBlockCodeStart + std::max<size_t>(1, blockCodes.size())));
  AppendLe32(file, static_cast<int32_t>(symbols.size()));
  file.insert(file.end(), blockCodes.begin(), blockCodes.end());
  if (blockCodes.empty()) file.push_back(0);
  file.insert(file.end(), symbols.begin(), symbols.end());
  for (const uint16_t pixel : raw) AppendLe16(file, pixel);
  return file;
}

}  // namespace vexo
