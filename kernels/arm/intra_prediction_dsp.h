// The filtering 4 x 4 intra predictions with ARM's byte-lane instructions
// (ARMv7E-M: Cortex-M4, M7), for a block decoded apart from its plane
// (BlockNeighbours) into 16 samples in a row. Four filter values are
// computed at once, one in each byte of a word: the rounded mean of two
// samples b and a is a - ((a - b) >> 1) (UHSUB8, USUB8), and the filter
// (a + 2b + c + 2) >> 2 is the rounded mean of b and the rounded-down mean
// of a and c (UHADD8). Each row is then the edge's filter values shifted
// across two words, or the bytes of two words interleaved. Gives exactly
// what PredictIntra4x4 gives; the modes that only copy or average (DC,
// horizontal, vertical) are the plain ones.
#pragma once

#include <cstddef>
#include <cstdint>

#include "arm/two_lanes.h"
#include "transform/intra_prediction.h"
#include "transform/sample_rows.h"

namespace vexo {
namespace intra_dsp {

// avg2 of each byte of `a` and `b`, rounded up.
inline uint32_t Mean2(uint32_t a, uint32_t b) {
  using namespace two_lanes;
  return SubtractBytes(a, HalvingSubtractBytes(a, b));
}

// avg3(a, b, c) = (a + 2b + c + 2) >> 2 of each byte.
inline uint32_t Mean3(uint32_t a, uint32_t b, uint32_t c) {
  return Mean2(b, two_lanes::HalvingAddBytes(a, c));
}

// The four bytes from byte `k` of the eight `low` then `high`, in memory
// order on a little-endian processor.
template <int k>
inline uint32_t BytesFrom(uint32_t low, uint32_t high) {
  static_assert(k > 0 && k < 4);
  return low >> (8 * k) | high << (32 - 8 * k);
}

// The left column from the bottom up, L3 L2 L1 L0, in memory order.
inline uint32_t LeftUpwards(const BlockNeighbours& n) {
  return RowOf(static_cast<uint32_t>(n.L(3)), static_cast<uint32_t>(n.L(2)),
               static_cast<uint32_t>(n.L(1)), static_cast<uint32_t>(n.L(0)));
}

// The bytes of `a` and `b` interleaved: a0 b0 a2 b2 (even) and a1 b1 a3 b3
// (odd), in memory order.
inline uint32_t InterleaveEvenBytes(uint32_t a, uint32_t b) {
  return two_lanes::EvenBytes(a) | two_lanes::EvenBytes(b) << 8;
}
inline uint32_t InterleaveOddBytes(uint32_t a, uint32_t b) {
  return two_lanes::OddBytes(a) | two_lanes::OddBytes(b) << 8;
}

inline void StoreRows(uint8_t* block, uint32_t r0, uint32_t r1, uint32_t r2, uint32_t r3) {
  StoreRow<true>(block, r0);
  StoreRow<true>(block + 4, r1);
  StoreRow<true>(block + 8, r2);
  StoreRow<true>(block + 12, r3);
}

}  // namespace intra_dsp

// Writes the prediction of mode kMode into the 16 samples at `block` (rows
// 4 samples apart, on a 4-byte boundary), from the neighbours at `above`
// (on a 4-byte boundary) and `left` as BlockNeighbours reads them.
template <int kMode>
inline void PredictIntra4x4Dsp(const uint8_t* above, const uint8_t* left, uint8_t* block) {
  using namespace intra_dsp;
  if constexpr (kMode == kIntraVertLeft || kMode == kIntraDiagDownLeft) {
    const SampleRow t0 = LoadRow<true>(above);      // T0 to T3
    const SampleRow t4 = LoadRow<true>(above + 4);  // T4 to T7
    const uint32_t t1 = BytesFrom<1>(t0, t4), t2 = BytesFrom<2>(t0, t4);
    if constexpr (kMode == kIntraVertLeft) {
      // Rows: the pair means from T0 and the filters from T0, then both from T1.
      const uint32_t t3 = BytesFrom<3>(t0, t4);
      StoreRows(block, Mean2(t0, t1), Mean3(t0, t1, t2), Mean2(t1, t2), Mean3(t1, t2, t3));
    } else {
      // f[s] = avg3(T[s], T[s+1], T[s+2]) for s = 0 to 5, and f[6] =
      // avg3(T6, T7, T7): T7 repeated past the end. Row y is f[y] to f[y+3].
      const uint32_t last = t4 & 0xFF000000u;
      const uint32_t t5 = t4 >> 8 | last, t6 = t5 >> 8 | last;
      const uint32_t f0 = Mean3(t0, t1, t2), f4 = Mean3(t4, t5, t6);
      StoreRows(block, f0, BytesFrom<1>(f0, f4), BytesFrom<2>(f0, f4), BytesFrom<3>(f0, f4));
    }
  } else if constexpr (kMode == kIntraDiagDownRight) {
    // The edge L3 L2 L1 L0 C T0 T1 T2 T3 as e0 to e8; f[i] = avg3(e[i],
    // e[i+1], e[i+2]); row y is f[3-y] to f[6-y].
    const BlockNeighbours n{above, left};
    const SampleRow t0 = LoadRow<true>(above);
    const uint32_t e0 = LeftUpwards(n);
    const uint32_t e4 = static_cast<uint32_t>(n.T(-1)) | t0 << 8;  // C T0 T1 T2
    // e5 onwards are T0 on; the filter of the last byte is never used.
    const uint32_t f0 = Mean3(e0, BytesFrom<1>(e0, e4), BytesFrom<2>(e0, e4));
    const uint32_t f4 = Mean3(e4, t0, t0 >> 8);
    StoreRows(block, BytesFrom<3>(f0, f4), BytesFrom<2>(f0, f4), BytesFrom<1>(f0, f4), f0);
  } else if constexpr (kMode == kIntraHorDown) {
    // Along the edge L3 L2 L1 L0 C T0 T1 T2, the pair means a3 a2 a1 a0 and
    // the filters b3 b2 b1 b0; interleaved, two bytes apart, they give the
    // rows from the bottom up. The top row ends with the filters u1 u2 over
    // the row above.
    using namespace two_lanes;
    const BlockNeighbours n{above, left};
    const uint32_t e0 = LeftUpwards(n);
    const uint32_t e4 = static_cast<uint32_t>(n.T(-1)) | LoadRow<true>(above) << 8;
    const uint32_t e1 = BytesFrom<1>(e0, e4), e2 = BytesFrom<2>(e0, e4);
    const uint32_t pairs = Mean2(e0, e1), triples = Mean3(e0, e1, e2);
    const uint32_t from3 = InterleaveEvenBytes(pairs, triples);  // a3 b3 a1 b1
    const uint32_t from2 = InterleaveOddBytes(pairs, triples);   // a2 b2 a0 b0
    const uint32_t above2 = Mean3(e4, e4 >> 8, e4 >> 16);        // u1 u2, then unused
    StoreRows(block, JoinLowHalves(from2 >> 16, above2), JoinHighHalves(from3, from2),
              LowAndHighHalves(from2, from3), JoinLowHalves(from3, from2));
  } else if constexpr (kMode == kIntraHorUp) {
    // Down the edge L0 L1 L2 L3 L3 L3, the pair means a0 a1 a2 and the
    // filters b0 b1 b2 (and L3 past them); interleaved, two bytes apart,
    // they give the rows from the top down.
    using namespace two_lanes;
    const BlockNeighbours n{above, left};
    const uint32_t l0 = RowOf(static_cast<uint32_t>(n.L(0)), static_cast<uint32_t>(n.L(1)),
                              static_cast<uint32_t>(n.L(2)), static_cast<uint32_t>(n.L(3)));
    const uint32_t last = l0 & 0xFF000000u;
    const uint32_t l1 = l0 >> 8 | last, l2 = l1 >> 8 | last;
    const uint32_t pairs = Mean2(l0, l1), triples = Mean3(l0, l1, l2);
    const uint32_t from0 = InterleaveEvenBytes(pairs, triples);  // a0 b0 a2 b2
    const uint32_t from1 = InterleaveOddBytes(pairs, triples);   // a1 b1 L3 L3
    StoreRows(block, JoinLowHalves(from0, from1), LowAndHighHalves(from1, from0),
              JoinHighHalves(from0, from1), FlatRow(static_cast<uint32_t>(n.L(3))));
  } else {
    PredictIntra4x4<kMode, true>(BlockNeighbours{above, left}, block, 4);
  }
}

}  // namespace vexo
