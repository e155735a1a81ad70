// The layout of the fast path, read by its decoder and its encoder alike.
//
// After the header: the 32-bit offset and span of the symbol stream, then the
// block-code stream, 5 bits for every whole 4 x 4 block: a direction bit
// (1 = along columns) and a 4-bit mode. Mode 0 takes 16 raw pixels, modes 1
// to 9 take 16 symbols of that many bits, mode 10 fills from the neighbours.
// The raw pixels follow the symbol stream.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/stream_size.h"

namespace vexo {

inline constexpr size_t kFastSymbolOffsetField = 12;
inline constexpr size_t kFastSymbolSpanField = 16;
inline constexpr size_t kFastBlockCodeStart = 20;
inline constexpr int kFastBlockSize = 4;
inline constexpr int kFastBlockPixels = kFastBlockSize * kFastBlockSize;

inline constexpr int kFastBlockCodeBits = 5;
inline constexpr int kFastModeBits = 4;
inline constexpr uint32_t kFastModeMask = 0xF;
inline constexpr uint32_t kFastVerticalBit = 0x10;
inline constexpr int kFastModeRaw = 0;
inline constexpr int kFastModeFill = 10;
inline constexpr int kFastMaxSymbolBits = 9;
inline constexpr int kFastRawPixelBits = 16;

// False when the file cannot hold a block code for every whole block: the
// decode would certainly run past its end.
constexpr bool FastFileCanHold(int32_t width, int32_t height, size_t fileSize) {
  const uint64_t blocks = BlocksInside(width) * BlocksInside(height);
  return StreamCanHold(blocks * kFastBlockCodeBits, kFastBlockCodeStart, fileSize);
}

}  // namespace vexo
