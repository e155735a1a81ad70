// The layout and code words of the predictive path, read by its decoder and
// its encoder alike.
//
// After the header: the 32-bit offset of the raw-pixel stream, then the bit
// stream. Each 4 x 4 block starts with a 2-bit mode; each pixel of a
// predicted block then carries a pixel code: "1" copies the prediction,
// "0 111" takes the next raw pixel, "0, class i (3 bits), value (i + 2 bits)"
// adds a table delta.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/stream_size.h"

namespace vexo {

inline constexpr size_t kPredictiveRawOffsetField = 12;
inline constexpr size_t kPredictiveStreamStart = 16;
inline constexpr int kPredictiveBlockSize = 4;

inline constexpr int kPredictiveModeBits = 2;
inline constexpr int kPredictFromLeft = 0;
inline constexpr int kPredictFromAbove = 1;
inline constexpr int kPredictFromAboveLeft = 2;
inline constexpr int kPredictiveFillLeft = 3;  // each row repeats the pixel left of it

inline constexpr int kCopyCodeBits = 1;
inline constexpr int kDeltaClassCodeBits = 4;  // the leading 0 and the 3-bit class
inline constexpr uint32_t kRawEscapeCode = 0b0111;
inline constexpr int kRawEscapeBits = 4;
inline constexpr int kRawPixelBits = 16;  // 2 bytes of the raw-pixel stream

// Offset from a pixel to the one a predicting mode reads, in a picture
// `width` pixels wide.
constexpr int64_t PredictionOffset(int mode, int32_t width) {
  switch (mode) {
    case kPredictFromLeft:
      return -1;
    case kPredictFromAbove:
      return -static_cast<int64_t>(width);
    default:
      return -static_cast<int64_t>(width) - 1;
  }
}

// False when the file cannot hold the raw-stream offset and a 2-bit mode for
// every block: the decode would certainly run past its end.
constexpr bool PredictiveFileCanHold(int32_t width, int32_t height, size_t fileSize) {
  const uint64_t blocks = BlocksCovering(width) * BlocksCovering(height);
  return StreamCanHold(blocks * kPredictiveModeBits, kPredictiveStreamStart, fileSize);
}

}  // namespace vexo
