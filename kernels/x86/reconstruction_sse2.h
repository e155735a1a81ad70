// The reconstruction of a predicted block (inverse transform, rounding,
// clamping) with SSE2, the x86-64 baseline: no dispatch is needed. The block
// is 16 samples in a row (rows 4 samples apart). Gives exactly what
// ReconstructBlock gives.
#pragma once

#include <emmintrin.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "transform/dequantisation.h"

namespace vexo {
namespace reconstruction_sse2 {

// Four 32-bit lanes of four registers, rows to columns.
inline void Transpose4x4(__m128i& a, __m128i& b, __m128i& c, __m128i& d) {
  const __m128i ab0 = _mm_unpacklo_epi32(a, b), cd0 = _mm_unpacklo_epi32(c, d);
  const __m128i ab1 = _mm_unpackhi_epi32(a, b), cd1 = _mm_unpackhi_epi32(c, d);
  a = _mm_unpacklo_epi64(ab0, cd0);
  b = _mm_unpackhi_epi64(ab0, cd0);
  c = _mm_unpacklo_epi64(ab1, cd1);
  d = _mm_unpackhi_epi64(ab1, cd1);
}

// One butterfly pass over four lanes at once.
inline void Butterflies(__m128i& v0, __m128i& v1, __m128i& v2, __m128i& v3) {
  const __m128i e0 = _mm_add_epi32(v0, v2);
  const __m128i e1 = _mm_sub_epi32(v0, v2);
  const __m128i e2 = _mm_sub_epi32(_mm_srai_epi32(v1, 1), v3);
  const __m128i e3 = _mm_add_epi32(v1, _mm_srai_epi32(v3, 1));
  v0 = _mm_add_epi32(e0, e3);
  v1 = _mm_add_epi32(e1, e2);
  v2 = _mm_sub_epi32(e1, e2);
  v3 = _mm_sub_epi32(e0, e3);
}

// Adds the 16-bit residuals of rows 0-1 and 2-3 to the prediction in the
// block's 16 samples. The saturating steps clamp exactly as the plain rule
// does: a residual beyond 16 bits lies beyond every sample anyway.
inline void AddResidualRows(uint8_t* block, __m128i rows01, __m128i rows23) {
  const __m128i pred = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block));
  const __m128i zero = _mm_setzero_si128();
  const __m128i sum01 = _mm_adds_epi16(_mm_unpacklo_epi8(pred, zero), rows01);
  const __m128i sum23 = _mm_adds_epi16(_mm_unpackhi_epi8(pred, zero), rows23);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(block), _mm_packus_epi16(sum01, sum23));
}

}  // namespace reconstruction_sse2

// As ReconstructBlock (coefficients are not changed here).
inline void ReconstructBlockSse2(uint8_t* block, const BlockCoefficients& coefficients,
                                 CoefficientMask mask) {
  using namespace reconstruction_sse2;
  if (mask == 0) return;
  if (mask == 1) {
    // A flat residual; limiting it to +-256 keeps every clamped sample.
    const int32_t flat = std::clamp<int32_t>((coefficients[0] + 32) >> 6, -256, 256);
    const __m128i rows = _mm_set1_epi16(static_cast<int16_t>(flat));
    AddResidualRows(block, rows, rows);
    return;
  }
  const auto* d = reinterpret_cast<const __m128i*>(coefficients.data());
  __m128i v0 = _mm_loadu_si128(d), v1 = _mm_loadu_si128(d + 1);
  __m128i v2 = _mm_loadu_si128(d + 2), v3 = _mm_loadu_si128(d + 3);
  Butterflies(v0, v1, v2, v3);  // columns: each register is a row
  Transpose4x4(v0, v1, v2, v3);
  Butterflies(v0, v1, v2, v3);  // rows: register x holds residual column x
  const __m128i round = _mm_set1_epi32(32);
  v0 = _mm_srai_epi32(_mm_add_epi32(v0, round), 6);
  v1 = _mm_srai_epi32(_mm_add_epi32(v1, round), 6);
  v2 = _mm_srai_epi32(_mm_add_epi32(v2, round), 6);
  v3 = _mm_srai_epi32(_mm_add_epi32(v3, round), 6);
  // Columns 0-1 and 2-3 as 16 bits, then back to rows 0-1 and 2-3.
  const __m128i columns01 = _mm_packs_epi32(v0, v1);
  const __m128i columns23 = _mm_packs_epi32(v2, v3);
  const __m128i mixedLow = _mm_unpacklo_epi16(columns01, columns23);
  const __m128i mixedHigh = _mm_unpackhi_epi16(columns01, columns23);
  AddResidualRows(block, _mm_unpacklo_epi16(mixedLow, mixedHigh),
                  _mm_unpackhi_epi16(mixedLow, mixedHigh));
}

}  // namespace vexo
