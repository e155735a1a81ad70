#include "predictive/predictive_encoder.h"

#include <algorithm>
#include <array>
#include <limits>

#include "common/bit_writer.h"
#include "common/file_layout.h"
#include "predictive/lossless_predictive.h"
#include "predictive/pixel_choice.h"
#include "predictive/predictive_format.h"

namespace vexo {
namespace {

constexpr int kBlockSize = kPredictiveBlockSize;

struct Block {
  int32_t x, y;
  int width, height;
};

// One way to code a block: its mode, a choice per pixel, and the cost.
struct BlockPlan {
  int mode = 0;
  std::array<PixelChoice, kBlockSize * kBlockSize> pixels{};
  int bits = std::numeric_limits<int>::max();
};

// What the decoder will have written so far, pixel by pixel, as the encoder
// goes. Predictions come only from here, never from the source.
class DecodedPicture {
 public:
  DecodedPicture(int32_t width, int32_t height)
      : width_(width), pixels_(Size(width, height)), written_(Size(width, height)) {}

  // The pixel at index, when the decoder has written it.
  std::optional<uint16_t> At(int64_t index) const {
    if (index < 0 || !written_[static_cast<size_t>(index)]) return std::nullopt;
    return pixels_[static_cast<size_t>(index)];
  }
  void Write(int64_t index, uint16_t value) {
    pixels_[static_cast<size_t>(index)] = value;
    written_[static_cast<size_t>(index)] = 1;
  }
  void Forget(int64_t index) { written_[static_cast<size_t>(index)] = 0; }
  int32_t Width() const { return width_; }

 private:
  static size_t Size(int32_t width, int32_t height) {
    return static_cast<size_t>(width) * static_cast<size_t>(height);
  }

  int32_t width_;
  std::vector<uint16_t> pixels_;
  std::vector<uint8_t> written_;
};

class PredictiveEncoder {
 public:
  PredictiveEncoder(std::span<const uint16_t> source, int32_t width, int32_t height, int quality)
      : source_(source),
        decoded_(width, height),
        tolerance_(PredictiveTolerance(quality)),
        index_(DeltaCodeIndex::ForQuality(quality)) {}

  void EncodeBlock(const Block& block) {
    BlockPlan best = PlanFillLeft(block);
    for (int mode = 0; mode < kPredictiveFillLeft; ++mode) {
      BlockPlan plan = PlanPredicted(block, mode);
      if (plan.bits < best.bits) best = plan;
    }
    Emit(block, best);
  }

  const BitWriter& Bits() const { return bits_; }
  const std::vector<uint16_t>& RawPixels() const { return raw_; }

 private:
  int64_t IndexOf(const Block& block, int row, int column) const {
    return static_cast<int64_t>(block.y + row) * decoded_.Width() + block.x + column;
  }

  // Tries a prediction mode, writing the pixels it would decode, then
  // forgets them so the next trial starts from the same state.
  BlockPlan PlanPredicted(const Block& block, int mode) {
    BlockPlan plan{mode, {}, kPredictiveModeBits};
    const int64_t offset = PredictionOffset(mode, decoded_.Width());
    int k = 0;
    for (int r = 0; r < block.height; ++r) {
      for (int c = 0; c < block.width; ++c, ++k) {
        const int64_t index = IndexOf(block, r, c);
        plan.pixels[k] = ChoosePixelCode(decoded_.At(index + offset),
                                         source_[static_cast<size_t>(index)], tolerance_, index_);
        plan.bits += plan.pixels[k].bits;
        decoded_.Write(index, plan.pixels[k].value);
      }
    }
    ForgetBlock(block);
    return plan;
  }

  // The fill mode serves when each row's left neighbour is within tolerance
  // of every pixel of that row.
  BlockPlan PlanFillLeft(const Block& block) const {
    BlockPlan plan{kPredictiveFillLeft, {}, kPredictiveModeBits};
    for (int r = 0; r < block.height; ++r) {
      const auto left = decoded_.At(IndexOf(block, r, 0) - 1);
      if (!left) return {};
      for (int c = 0; c < block.width; ++c) {
        if (!WithinTolerance(*left, source_[static_cast<size_t>(IndexOf(block, r, c))],
                             tolerance_)) {
          return {};
        }
        plan.pixels[r * block.width + c] = {PixelChoice::Kind::kCopy, {}, *left, 0};
      }
    }
    return plan;
  }

  void ForgetBlock(const Block& block) {
    for (int r = 0; r < block.height; ++r) {
      for (int c = 0; c < block.width; ++c) decoded_.Forget(IndexOf(block, r, c));
    }
  }

  void Emit(const Block& block, const BlockPlan& plan) {
    bits_.Put(static_cast<uint32_t>(plan.mode), kPredictiveModeBits);
    int k = 0;
    for (int r = 0; r < block.height; ++r) {
      for (int c = 0; c < block.width; ++c, ++k) {
        const PixelChoice& choice = plan.pixels[k];
        decoded_.Write(IndexOf(block, r, c), choice.value);
        if (plan.mode != kPredictiveFillLeft) EmitPixel(choice);
      }
    }
  }

  void EmitPixel(const PixelChoice& choice) {
    switch (choice.kind) {
      case PixelChoice::Kind::kCopy:
        bits_.Put(1, kCopyCodeBits);
        break;
      case PixelChoice::Kind::kDelta:
        bits_.Put(choice.code.deltaClass, kDeltaClassCodeBits);  // flag 0, then the class
        bits_.Put(choice.code.value, DeltaClassValueBits(choice.code.deltaClass));
        break;
      case PixelChoice::Kind::kRaw:
        bits_.Put(kRawEscapeCode, kRawEscapeBits);
        raw_.push_back(choice.value);
        break;
    }
  }

  std::span<const uint16_t> source_;
  DecodedPicture decoded_;
  int tolerance_;
  const DeltaCodeIndex& index_;
  BitWriter bits_;
  std::vector<uint16_t> raw_;
};

}  // namespace

int PredictiveTolerance(int quality) {
  return std::clamp(quality, 0, 2);
}

std::vector<uint8_t> EncodePredictive(std::span<const uint16_t> pixels, const VexoHeader& header,
                                      int effort) {
  const int32_t width = header.SignedWidth();
  const int32_t height = header.SignedHeight();
  PredictiveStreams streams;
  if (PredictiveTolerance(header.quality) == 0) {
    streams = CodeLosslessPredictive(pixels, width, height, effort);
  } else {
    PredictiveEncoder encoder(pixels, width, height, header.quality);
    // Raster order of blocks; the narrow and short edge blocks come last in
    // their row and column, as the decoder walks them.
    for (int32_t y = 0; y < height; y += kBlockSize) {
      for (int32_t x = 0; x < width; x += kBlockSize) {
        encoder.EncodeBlock(
            {x, y, std::min(kBlockSize, width - x), std::min(kBlockSize, height - y)});
      }
    }
    streams = {encoder.Bits().Bytes(), encoder.RawPixels()};
  }
  std::vector<uint8_t> file = MakeVexoHeader(header);
  file.reserve(file.size() + 4 + streams.bits.size() + 2 * streams.raw.size());
  AppendLe32(file, static_cast<int32_t>(kPredictiveStreamStart + streams.bits.size()));
  file.insert(file.end(), streams.bits.begin(), streams.bits.end());
  for (uint16_t pixel : streams.raw) AppendLe16(file, pixel);
  return file;
}

}  // namespace vexo
