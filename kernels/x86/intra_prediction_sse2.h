// The filtering 4 x 4 intra predictions with SSE2, the x86-64 baseline, for
// a block decoded apart from its plane (BlockNeighbours) into 16 samples in
// a row: the filtered edge is built once in a vector, each row of the block
// is a byte shift of it, and the four rows are stored at once. Gives exactly
// what PredictIntra4x4 gives; the modes that only copy or average (DC,
// horizontal, vertical) are the plain ones.
#pragma once

#include <emmintrin.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "transform/intra_prediction.h"

namespace vexo {
namespace intra_sse2 {

// avg3(a, b, c) = (a + 2b + c + 2) >> 2 for each byte: the rounded-up mean
// of b and the rounded-down mean of a and c.
inline __m128i Avg3(__m128i a, __m128i b, __m128i c) {
  const __m128i floorAC =
      _mm_sub_epi8(_mm_avg_epu8(a, c), _mm_and_si128(_mm_xor_si128(a, c), _mm_set1_epi8(1)));
  return _mm_avg_epu8(b, floorAC);
}

// Stores bytes 0-3 of each row's vector as the 16 samples of a block.
inline void StoreRows(uint8_t* block, __m128i r0, __m128i r1, __m128i r2, __m128i r3) {
  const __m128i rows01 = _mm_unpacklo_epi32(r0, r1);
  const __m128i rows23 = _mm_unpacklo_epi32(r2, r3);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(block), _mm_unpacklo_epi64(rows01, rows23));
}

// The row above, T[0] to T[7], in bytes 0-7.
inline __m128i LoadAbove(const uint8_t* above) {
  int64_t row;
  std::memcpy(&row, above, 8);
  return _mm_cvtsi64_si128(row);
}

// T[i + 1] for the T[i] in bytes 0-7, with T[7] repeated past the end.
inline __m128i NextAbove(__m128i t) {
  const __m128i byte7 = _mm_setr_epi8(0, 0, 0, 0, 0, 0, 0, -1, 0, 0, 0, 0, 0, 0, 0, 0);
  return _mm_or_si128(_mm_srli_si128(t, 1), _mm_and_si128(t, byte7));
}

// The left column L[0] to L[3] as the bytes of a word: the last sample of
// each row of the block before (the 16 samples from left - 3).
inline uint32_t LeftColumn(const uint8_t* left) {
  const __m128i before = _mm_loadu_si128(reinterpret_cast<const __m128i*>(left - 3));
  const __m128i lasts = _mm_srli_epi32(before, 24);
  const __m128i words = _mm_packs_epi32(lasts, lasts);
  return static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(words, words)));
}

// The edge from the bottom of the left column over the corner along the row
// above: L3 L2 L1 L0 C T0 T1 ... T6.
inline __m128i LeftCornerAboveEdge(const uint8_t* above, const uint8_t* left) {
  const uint32_t upwards = __builtin_bswap32(LeftColumn(left));
  int64_t cornerAndAbove;
  std::memcpy(&cornerAndAbove, above - 1, 8);
  return _mm_or_si128(_mm_cvtsi32_si128(static_cast<int32_t>(upwards)),
                      _mm_slli_si128(_mm_cvtsi64_si128(cornerAndAbove), 4));
}

}  // namespace intra_sse2

// Writes the prediction of mode kMode into the 16 samples at `block` (rows
// 4 samples apart), from the neighbours at `above` and `left` as
// BlockNeighbours reads them.
template <int kMode>
inline void PredictIntra4x4Sse2(const uint8_t* above, const uint8_t* left, uint8_t* block) {
  using namespace intra_sse2;
  if constexpr (kMode == kIntraDiagDownLeft || kMode == kIntraVertLeft) {
    const __m128i t0 = LoadAbove(above);
    const __m128i t1 = NextAbove(t0);
    const __m128i t2 = NextAbove(t1);
    const __m128i odd = Avg3(t0, t1, t2);  // avg3(T[i], T[i+1], T[i+2]), the last avg3(T6, T7, T7)
    if constexpr (kMode == kIntraDiagDownLeft) {
      StoreRows(block, odd, _mm_srli_si128(odd, 1), _mm_srli_si128(odd, 2), _mm_srli_si128(odd, 3));
    } else {
      const __m128i even = _mm_avg_epu8(t0, t1);
      StoreRows(block, even, odd, _mm_srli_si128(even, 1), _mm_srli_si128(odd, 1));
    }
  } else if constexpr (kMode == kIntraDiagDownRight) {
    // f[i] = avg3(e[i], e[i+1], e[i+2]); row y is f[3 - y] to f[6 - y].
    const __m128i edge = LeftCornerAboveEdge(above, left);
    const __m128i f = Avg3(edge, _mm_srli_si128(edge, 1), _mm_srli_si128(edge, 2));
    StoreRows(block, _mm_srli_si128(f, 3), _mm_srli_si128(f, 2), _mm_srli_si128(f, 1), f);
  } else if constexpr (kMode == kIntraHorDown) {
    // Along the edge L3 L2 L1 L0 C T0 T1 T2, pair means and triple filters
    // interleaved give the rows from the bottom up, two bytes apart; the top
    // row ends with the two filters over the row above.
    const __m128i edge = LeftCornerAboveEdge(above, left);
    const __m128i next = _mm_srli_si128(edge, 1);
    const __m128i pairs = _mm_avg_epu8(edge, next);
    const __m128i triples = Avg3(edge, next, _mm_srli_si128(edge, 2));
    const __m128i rows = _mm_unpacklo_epi8(pairs, triples);
    const __m128i top =
        _mm_or_si128(_mm_and_si128(_mm_srli_si128(rows, 6), _mm_set_epi32(0, 0, 0, 0xFFFF)),
                     _mm_slli_si128(_mm_srli_si128(triples, 4), 2));
    StoreRows(block, top, _mm_srli_si128(rows, 4), _mm_srli_si128(rows, 2), rows);
  } else if constexpr (kMode == kIntraHorUp) {
    // Down the edge L0 L1 L2 L3 L3 L3 ..., pair means and triple filters
    // interleaved give the rows from the top down, two bytes apart.
    const uint32_t column = LeftColumn(left);
    const uint64_t edge64 = column | (uint64_t{column >> 24} * 0x0101010101ull) << 32;
    const __m128i edge = _mm_cvtsi64_si128(static_cast<int64_t>(edge64));
    const __m128i next = _mm_srli_si128(edge, 1);
    const __m128i pairs = _mm_avg_epu8(edge, next);
    const __m128i triples = Avg3(edge, next, _mm_srli_si128(edge, 2));
    const __m128i rows = _mm_unpacklo_epi8(pairs, triples);
    StoreRows(block, rows, _mm_srli_si128(rows, 2), _mm_srli_si128(rows, 4),
              _mm_srli_si128(rows, 6));
  } else {
    PredictIntra4x4<kMode, true>(BlockNeighbours{above, left}, block, 4);
  }
}

}  // namespace vexo
