// Four neighbouring 8-bit samples of a plane as one 32-bit word, so that a
// row of a 4 x 4 block is loaded, built and stored at once.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

namespace vexo {

using SampleRow = uint32_t;

// The word whose bytes in memory order are s0, s1, s2, s3 (each 0 to 255).
constexpr SampleRow RowOf(uint32_t s0, uint32_t s1, uint32_t s2, uint32_t s3) {
  if constexpr (std::endian::native == std::endian::little) {
    return s0 | s1 << 8 | s2 << 16 | s3 << 24;
  } else {
    return s0 << 24 | s1 << 16 | s2 << 8 | s3;
  }
}

constexpr SampleRow FlatRow(uint32_t sample) {
  return sample * 0x01010101u;
}

// Sample i (0 to 3, in memory order) of a row.
constexpr uint32_t SampleOf(SampleRow row, int i) {
  const int shift = std::endian::native == std::endian::little ? 8 * i : 24 - 8 * i;
  return (row >> shift) & 0xFF;
}

// kAligned: `samples` lies on a 4-byte boundary, so the row is one word
// access even where the processor has no unaligned ones.
template <bool kAligned = false>
inline SampleRow LoadRow(const uint8_t* samples) {
  if constexpr (kAligned)
    samples = static_cast<const uint8_t*>(__builtin_assume_aligned(samples, 4));
  SampleRow row;
  std::memcpy(&row, samples, sizeof row);
  return row;
}

template <bool kAligned = false>
inline void StoreRow(uint8_t* samples, SampleRow row) {
  if constexpr (kAligned) samples = static_cast<uint8_t*>(__builtin_assume_aligned(samples, 4));
  std::memcpy(samples, &row, sizeof row);
}

}  // namespace vexo
