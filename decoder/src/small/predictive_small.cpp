// The predictive path in its small form: the general form's walk over the
// blocks, with each pixel code taken apart bit field by bit field instead of
// looked up in a 4096-entry table.
#include <algorithm>

#include "common/bit_reader.h"
#include "common/little_endian.h"
#include "predictive/predictive_format.h"
#include "small/small_delta_table.h"
#include "small/small_paths.h"

namespace vexo {
namespace {

constexpr int kBlockSize = kPredictiveBlockSize;
// The longest pixel code: the leading 0, the class and 8 value bits.
constexpr int kLongestPixelCodeBits = 12;

struct SmallPredictiveState {
  SmallPredictiveState(const PathInput& input)
      : bits(input.file.data(), input.file.size(), kPredictiveStreamStart),
        image(input.image.data()),
        width(input.width),
        stride(input.stride),
        deltaScale(UsesCoarseDeltas(input.quality) ? 2 : 1),
        file(input.file),
        rawOffset(ReadLe32Signed(input.file.data() + kPredictiveRawOffsetField)) {}

  // The next pixel of the raw-pixel stream; 0 past either end of the file,
  // which is recorded, and the decode stops after the block.
  uint16_t NextRaw() {
    if (rawOffset < 0 || rawOffset + 2 > static_cast<int64_t>(file.size())) {
      rawPastEnd = true;
      return 0;
    }
    const uint16_t pixel = ReadLe16(file.data() + rawOffset);
    rawOffset += 2;
    return pixel;
  }

  uint16_t NextPixel(uint16_t predicted) {
    if (bits.Count() < kLongestPixelCodeBits) bits.Refill();
    if (bits.Read(kCopyCodeBits) == 1) return predicted;
    const uint32_t deltaClass = bits.Read(kDeltaClassCodeBits - 1);
    // The escape is the class field's eighth value behind the leading 0.
    if (deltaClass == kRawEscapeCode) return NextRaw();
    const int valueBits = DeltaClassValueBits(static_cast<int>(deltaClass));
    const int index =
        DeltaClassFirstIndex(static_cast<int>(deltaClass)) + static_cast<int>(bits.Read(valueBits));
    return static_cast<uint16_t>(predicted + ScaledDelta(index, deltaScale));
  }

  bool Failed() const { return rawPastEnd || bits.ConsumedPastEnd(); }

  uint16_t* Row(int32_t y) const { return image + static_cast<ptrdiff_t>(y) * stride; }

  // See LinearSourcePixel.
  uint16_t SourcePixel(int32_t x, int32_t y) const {
    return LinearSourcePixel(image, width, stride, x, y);
  }

  VexoBitReader bits;
  uint16_t* image;
  int32_t width;
  ptrdiff_t stride;
  int deltaScale;
  std::span<const uint8_t> file;
  int64_t rawOffset;
  bool rawPastEnd = false;
};

void DecodeBlock(SmallPredictiveState& s, int32_t x, int32_t y, int32_t bw, int32_t bh) {
  const int mode = static_cast<int>(s.bits.Read(kPredictiveModeBits));
  // The source's step: left, above or above-left; a filled row repeats the
  // pixel left of it.
  const int32_t dx = mode == kPredictFromAbove ? 0 : -1;
  const int32_t dy = mode == kPredictFromAbove || mode == kPredictFromAboveLeft ? -1 : 0;
  for (int32_t r = 0; r < bh; ++r) {
    uint16_t* row = s.Row(y + r);
    for (int32_t c = x; c < x + bw; ++c) {
      row[c] = mode == kPredictiveFillLeft ? s.SourcePixel(x - 1, y + r)
                                           : s.NextPixel(s.SourcePixel(c + dx, y + r + dy));
    }
  }
}

// Sources later in raster order (the last pixel of an earlier row of the
// same block row) must read as 0, as in a zero-filled output.
void ClearLastColumn(const PathInput& input) {
  for (int32_t y = 0; y < input.height; ++y) PixelAt(input, input.width - 1, y) = 0;
}

}  // namespace

VexoDecodeResult DecodePredictiveSmall(const PathInput& input) {
  if (!PredictiveFileCanHold(input.width, input.height, input.file.size())) {
    return {VexoStatus::kTruncated, -1};
  }
  SmallPredictiveState s(input);
  if (input.width > 0 && input.height > 0) {
    ClearLastColumn(input);
    for (int32_t y = 0; y < input.height && !s.Failed(); y += kBlockSize) {
      const int32_t bh = std::min<int32_t>(kBlockSize, input.height - y);
      for (int32_t x = 0; x < input.width && !s.Failed(); x += kBlockSize) {
        DecodeBlock(s, x, y, std::min<int32_t>(kBlockSize, input.width - x), bh);
      }
    }
  }
  if (s.Failed()) return {VexoStatus::kTruncated, -1};
  return {VexoStatus::kOk, PositiveOrMinusOne(s.rawOffset)};
}

}  // namespace vexo
