#include "predictive/lossless_predictive.h"

#include <algorithm>
#include <array>

#include "common/bit_packer.h"
#include "predictive/delta_code_index.h"
#include "predictive/pixel_choice.h"
#include "predictive/predictive_format.h"
#include "vexo_encoder.h"

namespace vexo {
namespace {

constexpr int kBlockSize = kPredictiveBlockSize;

// For every 16-bit difference between a pixel and its prediction, the
// shortest pixel code that rebuilds the pixel: a copy for 0, else a fine
// table delta, else the raw escape. The quality 0 table is the fine one.
class LosslessCodes {
 public:
  LosslessCodes() {
    const DeltaCodeIndex& index = DeltaCodeIndex::ForQuality(0);
    for (uint32_t difference = 0; difference < (1u << 16); ++difference) {
      const DeltaCode& code = index.For(static_cast<uint16_t>(difference));
      uint32_t word = kRawEscapeCode;
      int length = kRawEscapeBits;
      if (difference == 0) {
        word = 1;
        length = kCopyCodeBits;
      } else if (code.length != 0) {
        word = (uint32_t{code.deltaClass} << DeltaClassValueBits(code.deltaClass)) | code.value;
        length = code.length;
      }
      const bool raw = length == kRawEscapeBits;
      codes_[difference] = word | (static_cast<uint32_t>(length) << 16) | (raw ? 1u << 24 : 0);
      bits_[difference] = static_cast<uint8_t>(raw ? kRawPixelCodeBits : length);
    }
  }

  // Bits of the code, the raw pixel's 16 included.
  int Bits(uint16_t difference) const { return bits_[difference]; }
  uint32_t Word(uint16_t difference) const { return codes_[difference] & 0xFFFF; }
  int Length(uint16_t difference) const { return (codes_[difference] >> 16) & 0xFF; }
  bool Raw(uint16_t difference) const { return (codes_[difference] >> 24) != 0; }

  static const LosslessCodes& Get() {
    static const LosslessCodes codes;
    return codes;
  }

 private:
  std::array<uint8_t, 1u << 16> bits_{};
  std::array<uint32_t, 1u << 16> codes_{};
};

struct Block {
  int32_t x, y;
  int width, height;
};

// Which predicting modes an effort tries; the fill mode is always checked,
// it costs next to nothing. Effort 0 predicts from the left only, effort 1
// from the left and from above, every higher effort tries all three modes
// and so gives the smallest file there is.
struct ModeSet {
  bool tried[kPredictiveFillLeft] = {true, true, true};
};

ModeSet ModesFor(int effort) {
  ModeSet set;
  if (effort < 2) set.tried[kPredictFromAboveLeft] = false;
  if (effort < 1) set.tried[kPredictFromAbove] = false;
  return set;
}

class LosslessPredictiveCoder {
 public:
  LosslessPredictiveCoder(std::span<const uint16_t> pixels, int32_t width, int32_t height,
                          int effort)
      : pixels_(pixels), width_(width), modes_(ModesFor(effort)), codes_(LosslessCodes::Get()) {
    bits_.Reserve(static_cast<size_t>(width) * static_cast<size_t>(height) / 2);
    (void)height;
  }

  void CodeBlock(const Block& block) {
    // Blocks right of the first column and below the first row predict only
    // from pixels of earlier blocks or earlier in the block.
    const bool inside = block.x > 0 && block.y > 0;
    if (inside && block.width == kBlockSize && block.height == kBlockSize) {
      Code<true, kBlockSize>(block);
    } else if (inside) {
      Code<true, 0>(block);
    } else {
      Code<false, 0>(block);
    }
  }

  PredictiveStreams Finish() { return {bits_.Finish(), std::move(raw_)}; }

 private:
  // kSize is the block's side when fixed at compile time, else 0.
  template <bool kInside, int kSize>
  void Code(const Block& block) {
    const int bw = kSize != 0 ? kSize : block.width;
    const int bh = kSize != 0 ? kSize : block.height;
    const int64_t topLeft = int64_t{block.y} * width_ + block.x;
    int best = kPredictiveFillLeft;
    if (!Fills<kInside>(block, topLeft, bw, bh)) {
      int bestBits = 1 << 30;
      for (int mode = 0; mode < kPredictiveFillLeft; ++mode) {
        if (!modes_.tried[mode]) continue;
        const int64_t offset = PredictionOffset(mode, width_);
        int bits = 0;
        for (int r = 0; r < bh; ++r) {
          for (int c = 0; c < bw; ++c) {
            const int64_t p = topLeft + int64_t{r} * width_ + c;
            bits += Decoded<kInside>(block, p + offset) ? codes_.Bits(Difference(p, offset))
                                                        : kRawPixelCodeBits;
          }
        }
        if (bits < bestBits) {
          bestBits = bits;
          best = mode;
        }
      }
    }
    Emit<kInside>(block, topLeft, bw, bh, best);
  }

  // Each row equal to the pixel left of it, which the decoder has written.
  template <bool kInside>
  bool Fills(const Block& block, int64_t topLeft, int bw, int bh) const {
    for (int r = 0; r < bh; ++r) {
      const int64_t rowStart = topLeft + int64_t{r} * width_;
      if (!Decoded<kInside>(block, rowStart - 1)) return false;
      const uint16_t left = pixels_[static_cast<size_t>(rowStart - 1)];
      for (int c = 0; c < bw; ++c) {
        if (pixels_[static_cast<size_t>(rowStart + c)] != left) return false;
      }
    }
    return true;
  }

  template <bool kInside>
  void Emit(const Block& block, int64_t topLeft, int bw, int bh, int mode) {
    bits_.Put(static_cast<uint32_t>(mode), kPredictiveModeBits);
    if (mode == kPredictiveFillLeft) return;
    const int64_t offset = PredictionOffset(mode, width_);
    for (int r = 0; r < bh; ++r) {
      for (int c = 0; c < bw; ++c) {
        const int64_t p = topLeft + int64_t{r} * width_ + c;
        if (!Decoded<kInside>(block, p + offset)) {
          bits_.Put(kRawEscapeCode, kRawEscapeBits);
          raw_.push_back(pixels_[static_cast<size_t>(p)]);
          continue;
        }
        const uint16_t difference = Difference(p, offset);
        bits_.Put(codes_.Word(difference), codes_.Length(difference));
        if (codes_.Raw(difference)) raw_.push_back(pixels_[static_cast<size_t>(p)]);
      }
    }
  }

  uint16_t Difference(int64_t p, int64_t offset) const {
    return static_cast<uint16_t>(pixels_[static_cast<size_t>(p)] -
                                 pixels_[static_cast<size_t>(p + offset)]);
  }

  // Whether the decoder has written the pixel at `source` when it codes a
  // pixel after it in `block`: a source in an earlier block row, an earlier
  // block of the same row, or earlier in the block itself. Sources always
  // come before the pixel in raster order, so within the block they are
  // earlier in the block's own order too.
  template <bool kInside>
  bool Decoded(const Block& block, int64_t source) const {
    if constexpr (kInside) {
      return true;
    } else {
      if (source < 0) return false;
      const int64_t row = source / width_;
      const int64_t column = source % width_;
      if (row / kBlockSize != block.y / kBlockSize) return row / kBlockSize < block.y / kBlockSize;
      return column / kBlockSize <= block.x / kBlockSize;
    }
  }

  std::span<const uint16_t> pixels_;
  int32_t width_;
  ModeSet modes_;
  const LosslessCodes& codes_;
  BitPacker bits_;
  std::vector<uint16_t> raw_;
};

}  // namespace

PredictiveStreams CodeLosslessPredictive(std::span<const uint16_t> pixels, int32_t width,
                                         int32_t height, int effort) {
  LosslessPredictiveCoder coder(pixels, width, height, effort);
  for (int32_t y = 0; y < height; y += kBlockSize) {
    for (int32_t x = 0; x < width; x += kBlockSize) {
      coder.CodeBlock({x, y, std::min(kBlockSize, width - x), std::min(kBlockSize, height - y)});
    }
  }
  return coder.Finish();
}

}  // namespace vexo
