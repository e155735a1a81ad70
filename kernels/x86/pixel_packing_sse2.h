// The packing into 5-6-5 pixels with SSE2, the x86-64 baseline: sixteen
// pixels at a time, each colour's kept bits put in place within the 16-bit
// lanes by the unpacking itself or by one shift. Gives exactly what
// PackRows565Plain gives.
#pragma once

#include <emmintrin.h>

#include <cstddef>
#include <cstdint>

#include "transform/pixel_packing.h"

namespace vexo {
namespace packing_sse2 {

inline __m128i Pack565(__m128i redHigh, __m128i green16, __m128i blue16) {
  return _mm_or_si128(_mm_or_si128(redHigh, _mm_slli_epi16(green16, 3)), _mm_srli_epi16(blue16, 3));
}

inline __m128i SwapBytes(__m128i pixels) {
  return _mm_or_si128(_mm_slli_epi16(pixels, 8), _mm_srli_epi16(pixels, 8));
}

template <bool kByteSwapped>
inline void PackSixteen(const uint8_t* red, const uint8_t* green, const uint8_t* blue,
                        uint16_t* out) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i r = _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(red)),
                                  _mm_set1_epi8(static_cast<char>(0xF8)));
  const __m128i g = _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(green)),
                                  _mm_set1_epi8(static_cast<char>(0xFC)));
  const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(blue));
  __m128i low =
      Pack565(_mm_unpacklo_epi8(zero, r), _mm_unpacklo_epi8(g, zero), _mm_unpacklo_epi8(b, zero));
  __m128i high =
      Pack565(_mm_unpackhi_epi8(zero, r), _mm_unpackhi_epi8(g, zero), _mm_unpackhi_epi8(b, zero));
  if constexpr (kByteSwapped) {
    low = SwapBytes(low);
    high = SwapBytes(high);
  }
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out), low);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8), high);
}

// Whole runs of sixteen, then the plain rule for the rest of the row.
template <bool kByteSwapped>
inline void PackRow(const uint8_t* red, const uint8_t* green, const uint8_t* blue, int32_t width,
                    uint16_t* out) {
  constexpr int32_t kRun = 16;
  int32_t x = 0;
  for (; x + kRun <= width; x += kRun) {
    PackSixteen<kByteSwapped>(red + x, green + x, blue + x, out + x);
  }
  PackRows565Plain(red + x, green + x, blue + x, 0, width - x, 1, out + x, 0, kByteSwapped);
}

template <bool kByteSwapped>
inline void PackRows(const uint8_t* red, const uint8_t* green, const uint8_t* blue,
                     ptrdiff_t planeStride, int32_t width, int32_t rows, uint16_t* out,
                     ptrdiff_t outStride) {
  for (int32_t y = 0; y < rows; ++y) {
    PackRow<kByteSwapped>(red + y * planeStride, green + y * planeStride, blue + y * planeStride,
                          width, out + y * outStride);
  }
}

}  // namespace packing_sse2

// As PackRows565Plain.
inline void PackRows565Sse2(const uint8_t* red, const uint8_t* green, const uint8_t* blue,
                            ptrdiff_t planeStride, int32_t width, int32_t rows, uint16_t* out,
                            ptrdiff_t outStride, bool byteSwapped) {
  if (byteSwapped) {
    packing_sse2::PackRows<true>(red, green, blue, planeStride, width, rows, out, outStride);
  } else {
    packing_sse2::PackRows<false>(red, green, blue, planeStride, width, rows, out, outStride);
  }
}

}  // namespace vexo
