// The layout of the transform path, read by its decoder and its encoder
// alike.
//
// The bit stream starts right after the 12-byte header and 4 reserved
// bytes. The three 8-bit colour planes are coded in 4 x 4 blocks over sides
// padded to whole blocks; every block position after the first row starts
// with a 3-bit intra mode, then carries one coefficient list per plane.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/stream_size.h"

namespace vexo {

inline constexpr size_t kTransformStreamStart = 16;
inline constexpr int32_t kTransformBlockSize = 4;
inline constexpr int kTransformPlaneCount = 3;

// The intra modes of a block position, coded in 3 bits.
inline constexpr int kIntraModeCount = 8;
inline constexpr int kIntraModeBits = 3;

// A picture side rounded up to whole 4 x 4 blocks: the coded planes' size.
constexpr int32_t PaddedToBlocks(int32_t size) {
  return (size + 3) / 4 * 4;
}

// False when the coded data is too short even for a picture whose lists are
// all end of block (1 bit a plane), with the 3-bit mode of every block after
// the first row: the decode would certainly run past the file. A picture
// without pixels needs nothing.
constexpr bool TransformFileCanHold(int32_t width, int32_t height, size_t fileSize) {
  if (width < 1 || height < 1) return true;
  const uint64_t columns = BlocksCovering(width);
  const uint64_t rows = BlocksCovering(height);
  constexpr uint64_t kFirstRowBits = kTransformPlaneCount;
  constexpr uint64_t kLaterRowBits = kIntraModeBits + kTransformPlaneCount;
  const uint64_t minBits = columns * kFirstRowBits + columns * (rows - 1) * kLaterRowBits;
  return StreamCanHold(minBits, kTransformStreamStart, fileSize);
}

}  // namespace vexo
