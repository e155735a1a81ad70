// The size test every coding path runs before decoding: does the file hold
// at least the bits that the smallest coding of the picture would take?
#pragma once

#include <cstddef>
#include <cstdint>

namespace vexo {

// Whole 4 x 4 blocks needed to cover `side` pixels (0 for no picture).
constexpr uint64_t BlocksCovering(int32_t side) {
  return side < 1 ? 0 : (static_cast<uint64_t>(side) + 3) / 4;
}

// Whole 4 x 4 blocks that fit inside `side` pixels.
constexpr uint64_t BlocksInside(int32_t side) {
  return side < 4 ? 0 : static_cast<uint64_t>(side) / 4;
}

// True when the file reaches streamStart and holds `minBits` bits after it.
constexpr bool StreamCanHold(uint64_t minBits, size_t streamStart, size_t fileSize) {
  return fileSize >= streamStart && fileSize - streamStart >= (minBits + 7) / 8;
}

}  // namespace vexo
