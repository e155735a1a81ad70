// The packing of a 4 x 4 block into 5-6-5 pixels with SSE2, the x86-64
// baseline: the block's 16 samples of each colour at once, each colour's
// kept bits put in place within the 16-bit lanes by the unpacking itself or
// by one shift, two rows to a register. Gives exactly what PackRows565Plain
// gives for the block.
#pragma once

#include <emmintrin.h>

#include <cstddef>
#include <cstdint>

namespace vexo {
namespace packing_sse2 {

inline __m128i Pack565(__m128i redHigh, __m128i green16, __m128i blue16) {
  return _mm_or_si128(_mm_or_si128(redHigh, _mm_slli_epi16(green16, 3)), _mm_srli_epi16(blue16, 3));
}

inline __m128i SwapBytes(__m128i pixels) {
  return _mm_or_si128(_mm_slli_epi16(pixels, 8), _mm_srli_epi16(pixels, 8));
}

inline __m128i LoadBlock(const uint8_t* samples) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(samples));
}

// Rows 0 and 1 (or 2 and 3) of the pixels, as one register's two halves.
inline void StoreTwoRows(__m128i pixels, uint16_t* first, ptrdiff_t outStride) {
  _mm_storel_epi64(reinterpret_cast<__m128i*>(first), pixels);
  _mm_storel_epi64(reinterpret_cast<__m128i*>(first + outStride), _mm_srli_si128(pixels, 8));
}

}  // namespace packing_sse2

// Packs a whole 4 x 4 block, each colour's 16 samples in a row (rows 4
// samples apart), into 4 rows of `out` `outStride` pixels apart.
inline void PackBlock565Sse2(const uint8_t* red, const uint8_t* green, const uint8_t* blue,
                             uint16_t* out, ptrdiff_t outStride, bool byteSwapped) {
  using namespace packing_sse2;
  const __m128i zero = _mm_setzero_si128();
  const __m128i r = _mm_and_si128(LoadBlock(red), _mm_set1_epi8(static_cast<char>(0xF8)));
  const __m128i g = _mm_and_si128(LoadBlock(green), _mm_set1_epi8(static_cast<char>(0xFC)));
  const __m128i b = LoadBlock(blue);
  __m128i rows01 =
      Pack565(_mm_unpacklo_epi8(zero, r), _mm_unpacklo_epi8(g, zero), _mm_unpacklo_epi8(b, zero));
  __m128i rows23 =
      Pack565(_mm_unpackhi_epi8(zero, r), _mm_unpackhi_epi8(g, zero), _mm_unpackhi_epi8(b, zero));
  if (byteSwapped) {
    rows01 = SwapBytes(rows01);
    rows23 = SwapBytes(rows23);
  }
  StoreTwoRows(rows01, out, outStride);
  StoreTwoRows(rows23, out + 2 * outStride, outStride);
}

}  // namespace vexo
