// The packing of the transform path's three 8-bit colour planes into 5-6-5
// pixels, in plain C++: the reference every processor's variant must match.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace vexo {

// The kept high bits of each colour; the low bits are dropped.
constexpr uint16_t Pack565(uint8_t red, uint8_t green, uint8_t blue) {
  return static_cast<uint16_t>((red >> 3) << 11 | (green >> 2) << 5 | (blue >> 3));
}

// The pixel with its two bytes exchanged, for displays that take the other
// byte order.
constexpr uint16_t SwapPixelBytes(uint16_t pixel) {
  return static_cast<uint16_t>(pixel << 8 | pixel >> 8);
}

// Packs `rows` rows of `width` samples of each plane (plane rows
// `planeStride` samples apart) into `out` (rows `outStride` pixels apart).
// The pixels between width and outStride are never written.
inline void PackRows565Plain(const uint8_t* red, const uint8_t* green, const uint8_t* blue,
                             ptrdiff_t planeStride, int32_t width, int32_t rows, uint16_t* out,
                             ptrdiff_t outStride, bool byteSwapped) {
  for (int32_t y = 0; y < rows; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      const uint16_t pixel = Pack565(red[x], green[x], blue[x]);
      out[x] = byteSwapped ? SwapPixelBytes(pixel) : pixel;
    }
    red += planeStride;
    green += planeStride;
    blue += planeStride;
    out += outStride;
  }
}

namespace pixel_packing_detail {

// Pixels 0 and 1 of four samples per colour held as words (sample 0 in the
// low byte), as a word holding pixel 0 in its low half: each colour's kept
// bits of both samples masked and moved at once.
constexpr uint32_t PackLowPair(uint32_t red, uint32_t green, uint32_t blue) {
  return (red & 0xF8u) << 8 | (red & 0xF800u) << 16 | (green & 0xFCu) << 3 |
         (green & 0xFC00u) << 11 | (blue & 0xF8u) >> 3 | (blue & 0xF800u) << 5;
}

// Both pixels of a pair with their two bytes exchanged.
constexpr uint32_t SwapPairBytes(uint32_t pair) {
  return (pair << 8 & 0xFF00FF00u) | (pair >> 8 & 0x00FF00FFu);
}

inline uint32_t LoadAlignedWord(const uint8_t* at) {
  uint32_t word;
  std::memcpy(&word, __builtin_assume_aligned(at, 4), sizeof word);
  return word;
}

inline void StoreAlignedWord(uint16_t* at, uint32_t word) {
  std::memcpy(__builtin_assume_aligned(at, 4), &word, sizeof word);
}

template <bool kByteSwapped>
inline void PackRowsByWords(const uint8_t* red, const uint8_t* green, const uint8_t* blue,
                            ptrdiff_t planeStride, int32_t width, int32_t rows, uint16_t* out,
                            ptrdiff_t outStride) {
  const auto finish = [](uint32_t pair) { return kByteSwapped ? SwapPairBytes(pair) : pair; };
  for (int32_t y = 0; y < rows; ++y) {
    int32_t x = 0;
    if (reinterpret_cast<uintptr_t>(out) % 4 == 0) {
      for (; x + 4 <= width; x += 4) {
        const uint32_t r = LoadAlignedWord(red + x);
        const uint32_t g = LoadAlignedWord(green + x);
        const uint32_t b = LoadAlignedWord(blue + x);
        StoreAlignedWord(out + x, finish(PackLowPair(r, g, b)));
        StoreAlignedWord(out + x + 2, finish(PackLowPair(r >> 16, g >> 16, b >> 16)));
      }
    }
    PackRows565Plain(red + x, green + x, blue + x, 0, width - x, 1, out + x, 0, kByteSwapped);
    red += planeStride;
    green += planeStride;
    blue += planeStride;
    out += outStride;
  }
}

template <bool kByteSwapped>
inline void PackBlockByWords(const uint8_t* red, const uint8_t* green, const uint8_t* blue,
                             uint16_t* out, ptrdiff_t outStride) {
  const auto finish = [](uint32_t pair) { return kByteSwapped ? SwapPairBytes(pair) : pair; };
#pragma GCC unroll 4
  for (int32_t y = 0; y < 4; ++y) {
    const uint32_t r = LoadAlignedWord(red + 4 * y);
    const uint32_t g = LoadAlignedWord(green + 4 * y);
    const uint32_t b = LoadAlignedWord(blue + 4 * y);
    StoreAlignedWord(out + y * outStride, finish(PackLowPair(r, g, b)));
    StoreAlignedWord(out + y * outStride + 2, finish(PackLowPair(r >> 16, g >> 16, b >> 16)));
  }
}

}  // namespace pixel_packing_detail

// As PackRows565Plain, four pixels at a time as two 32-bit words, for
// processors that store words little-endian and have no vector unit: each
// plane row must start on a 4-byte boundary (`red`, `green`, `blue` and
// `planeStride` multiples of 4). Output rows that do not start on one are
// packed pixel by pixel.
inline void PackRows565Words(const uint8_t* red, const uint8_t* green, const uint8_t* blue,
                             ptrdiff_t planeStride, int32_t width, int32_t rows, uint16_t* out,
                             ptrdiff_t outStride, bool byteSwapped) {
  if (byteSwapped) {
    pixel_packing_detail::PackRowsByWords<true>(red, green, blue, planeStride, width, rows, out,
                                                outStride);
  } else {
    pixel_packing_detail::PackRowsByWords<false>(red, green, blue, planeStride, width, rows, out,
                                                 outStride);
  }
}

// A whole 4 x 4 block, each colour's 16 samples in a row on a 4-byte
// boundary, as PackRows565Words packs it, into output rows that start on
// 4-byte boundaries.
inline void PackBlock565Words(const uint8_t* red, const uint8_t* green, const uint8_t* blue,
                              uint16_t* out, ptrdiff_t outStride, bool byteSwapped) {
  if (byteSwapped) {
    pixel_packing_detail::PackBlockByWords<true>(red, green, blue, out, outStride);
  } else {
    pixel_packing_detail::PackBlockByWords<false>(red, green, blue, out, outStride);
  }
}

}  // namespace vexo
