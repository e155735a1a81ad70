// The 4 x 4 intra predictions of the transform path. Shared by the decoder
// and the encoder.
//
// Neighbours are taken at plain linear offsets from the block, with no edge
// rule: in the first block column the left neighbours are the last samples of
// the rows before, and in the last block column the samples right of the top
// row are the first samples of the block's own top row. Every mode may occur
// at every block position outside the first block row. A neighbour that is
// not decoded yet reads what its plane holds, which is 0 in fresh planes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "transform/sample_rows.h"
#include "transform/transform_format.h"

namespace vexo {

enum IntraMode : int {
  kIntraDiagDownRight = 0,
  kIntraHorDown = 1,
  kIntraDC = 2,
  kIntraHorizontal = 3,
  kIntraVertical = 4,
  kIntraVertLeft = 5,
  kIntraDiagDownLeft = 6,
  kIntraHorUp = 7,
};

// The 13 neighbours of a block, read in place from a plane: the row above
// from one left of the block to four right of it, and the column to the left,
// for the block whose top-left sample is at `block`. Only for blocks below the
// first block row (the row above must exist).
struct PlaneNeighbours {
  const uint8_t* block;
  ptrdiff_t stride;

  int T(int i) const { return block[i - stride]; }
  int L(int k) const { return block[k * stride - 1]; }
};

// The same neighbours of a block decoded apart from its plane: the row
// above from one left of the block (above[-1], the corner) to four right of
// it (above[7]), and the four samples left of its rows, 4 bytes apart: the
// last column of the block before, decoded apart the same way (16 samples
// in a row, `left` at its sample 3).
inline constexpr ptrdiff_t kApartStride = 4;

struct BlockNeighbours {
  const uint8_t* above;
  const uint8_t* left;

  int T(int i) const { return above[i]; }
  int L(int k) const { return left[k * kApartStride]; }
};

namespace intra_detail {

// Filters of neighbour samples; the results are samples again (0 to 255).
constexpr uint32_t Avg2(int u, int v) {
  return static_cast<uint32_t>((u + v + 1) >> 1);
}
constexpr uint32_t Avg3(int u, int v, int w) {
  return static_cast<uint32_t>((u + 2 * v + w + 2) >> 2);
}

// The four rows of a prediction, built in registers and stored at once.
using Rows = std::array<SampleRow, 4>;

// Four stores written out: as a loop over a block's contiguous rows the
// compiler makes it a call to memcpy, which costs a core without unaligned
// word access (Thumb-1) dozens of instructions.
template <bool kAligned = false>
inline void StoreRows(const Rows& rows, uint8_t* block, ptrdiff_t stride) {
  StoreRow<kAligned>(block, rows[0]);
  StoreRow<kAligned>(block + stride, rows[1]);
  StoreRow<kAligned>(block + 2 * stride, rows[2]);
  StoreRow<kAligned>(block + 3 * stride, rows[3]);
}

template <bool kAligned = false>
inline void StoreFlat(int value, uint8_t* block, ptrdiff_t stride) {
  const uint32_t row = FlatRow(static_cast<uint32_t>(value));
  StoreRows<kAligned>({row, row, row, row}, block, stride);
}

// Each sample on one down-right diagonal (x - y = d) shares one filter value.
template <class N>
inline Rows DiagDownRight(const N& n) {
  // Edge from the bottom of the left column over the corner to the top right.
  const int e[9] = {n.L(3), n.L(2), n.L(1), n.L(0), n.T(-1), n.T(0), n.T(1), n.T(2), n.T(3)};
  uint32_t f[7];  // f[d + 3]
  for (int i = 0; i < 7; ++i) f[i] = Avg3(e[i], e[i + 1], e[i + 2]);
  return {RowOf(f[3], f[4], f[5], f[6]), RowOf(f[2], f[3], f[4], f[5]),
          RowOf(f[1], f[2], f[3], f[4]), RowOf(f[0], f[1], f[2], f[3])};
}

template <class N>
inline Rows HorDown(const N& n) {
  const int l0 = n.L(0), l1 = n.L(1), l2 = n.L(2), l3 = n.L(3);
  const int c = n.T(-1), t0 = n.T(0), t1 = n.T(1), t2 = n.T(2);
  const uint32_t a0 = Avg2(c, l0), a1 = Avg2(l0, l1), a2 = Avg2(l1, l2), a3 = Avg2(l2, l3);
  const uint32_t b0 = Avg3(l0, c, t0), b1 = Avg3(c, l0, l1);
  const uint32_t b2 = Avg3(l0, l1, l2), b3 = Avg3(l1, l2, l3);
  const uint32_t u1 = Avg3(t1, t0, c), u2 = Avg3(t2, t1, t0);
  return {RowOf(a0, b0, u1, u2), RowOf(a1, b1, a0, b0), RowOf(a2, b2, a1, b1),
          RowOf(a3, b3, a2, b2)};
}

template <class N>
inline int DC(const N& n) {
  return (n.L(0) + n.L(1) + n.L(2) + n.L(3) + n.T(0) + n.T(1) + n.T(2) + n.T(3) + 4) >> 3;
}

template <class N>
inline Rows Horizontal(const N& n) {
  const uint32_t l0 = n.L(0), l1 = n.L(1), l2 = n.L(2), l3 = n.L(3);
  return {FlatRow(l0), FlatRow(l1), FlatRow(l2), FlatRow(l3)};
}

template <class N>
inline Rows Vertical(const N& n) {
  const uint32_t row = RowOf(n.T(0), n.T(1), n.T(2), n.T(3));
  return {row, row, row, row};
}

template <class N>
inline Rows VertLeft(const N& n) {
  uint32_t even[5], odd[5];  // by i = x + (y >> 1)
  for (int i = 0; i < 5; ++i) {
    even[i] = Avg2(n.T(i), n.T(i + 1));
    odd[i] = Avg3(n.T(i), n.T(i + 1), n.T(i + 2));
  }
  return {RowOf(even[0], even[1], even[2], even[3]), RowOf(odd[0], odd[1], odd[2], odd[3]),
          RowOf(even[1], even[2], even[3], even[4]), RowOf(odd[1], odd[2], odd[3], odd[4])};
}

// Each sample on one down-left diagonal (x + y = s) shares one filter value.
template <class N>
inline Rows DiagDownLeft(const N& n) {
  uint32_t f[7];  // by s
  for (int s = 0; s < 6; ++s) f[s] = Avg3(n.T(s), n.T(s + 1), n.T(s + 2));
  f[6] = static_cast<uint32_t>((n.T(6) + 3 * n.T(7) + 2) >> 2);
  return {RowOf(f[0], f[1], f[2], f[3]), RowOf(f[1], f[2], f[3], f[4]),
          RowOf(f[2], f[3], f[4], f[5]), RowOf(f[3], f[4], f[5], f[6])};
}

template <class N>
inline Rows HorUp(const N& n) {
  const int l0 = n.L(0), l1 = n.L(1), l2 = n.L(2);
  const int l3 = n.L(3);
  const uint32_t a0 = Avg2(l0, l1), a1 = Avg2(l1, l2), a2 = Avg2(l2, l3);
  const uint32_t b0 = Avg3(l0, l1, l2), b1 = Avg3(l1, l2, l3);
  const auto b2 = static_cast<uint32_t>((l2 + 3 * l3 + 2) >> 2);
  return {RowOf(a0, b0, a1, b1), RowOf(a1, b1, a2, b2), RowOf(a2, b2, l3, l3), FlatRow(l3)};
}

}  // namespace intra_detail

// Writes the prediction of mode kMode into the 4 x 4 block at `out`. Every
// neighbour is read before any sample is written, so `out` may be the block
// itself even where its neighbours overlap it (a single block column).
// kAligned: `out` and `stride` are multiples of 4 bytes.
template <int kMode, bool kAligned = false, class Neighbours>
inline void PredictIntra4x4(const Neighbours& n, uint8_t* out, ptrdiff_t stride) {
  using namespace intra_detail;
  static_assert(kMode >= 0 && kMode < kIntraModeCount);
  if constexpr (kMode == kIntraDiagDownRight) {
    StoreRows<kAligned>(DiagDownRight(n), out, stride);
  } else if constexpr (kMode == kIntraHorDown) {
    StoreRows<kAligned>(HorDown(n), out, stride);
  } else if constexpr (kMode == kIntraDC) {
    StoreFlat<kAligned>(DC(n), out, stride);
  } else if constexpr (kMode == kIntraHorizontal) {
    StoreRows<kAligned>(Horizontal(n), out, stride);
  } else if constexpr (kMode == kIntraVertical) {
    StoreRows<kAligned>(Vertical(n), out, stride);
  } else if constexpr (kMode == kIntraVertLeft) {
    StoreRows<kAligned>(VertLeft(n), out, stride);
  } else if constexpr (kMode == kIntraDiagDownLeft) {
    StoreRows<kAligned>(DiagDownLeft(n), out, stride);
  } else {
    StoreRows<kAligned>(HorUp(n), out, stride);
  }
}

// The same with the mode chosen at run time (0 to 7).
template <bool kAligned = false, class Neighbours>
inline void PredictIntra4x4(int mode, const Neighbours& n, uint8_t* out, ptrdiff_t stride) {
  switch (mode) {
    case kIntraDiagDownRight:
      return PredictIntra4x4<kIntraDiagDownRight, kAligned>(n, out, stride);
    case kIntraHorDown:
      return PredictIntra4x4<kIntraHorDown, kAligned>(n, out, stride);
    case kIntraDC:
      return PredictIntra4x4<kIntraDC, kAligned>(n, out, stride);
    case kIntraHorizontal:
      return PredictIntra4x4<kIntraHorizontal, kAligned>(n, out, stride);
    case kIntraVertical:
      return PredictIntra4x4<kIntraVertical, kAligned>(n, out, stride);
    case kIntraVertLeft:
      return PredictIntra4x4<kIntraVertLeft, kAligned>(n, out, stride);
    case kIntraDiagDownLeft:
      return PredictIntra4x4<kIntraDiagDownLeft, kAligned>(n, out, stride);
    default:
      return PredictIntra4x4<kIntraHorUp, kAligned>(n, out, stride);
  }
}

// The prediction of the first block row, which codes no mode: 128 for the
// first block, otherwise the rounded mean of the right-most column of the
// block to the left.
template <bool kAligned = false>
inline void FirstRowDC(uint8_t* block, ptrdiff_t stride, bool firstBlock) {
  int value = 128;
  if (!firstBlock) {
    value =
        (block[-1] + block[stride - 1] + block[2 * stride - 1] + block[3 * stride - 1] + 2) >> 2;
  }
  intra_detail::StoreFlat<kAligned>(value, block, stride);
}

// The same for a block decoded apart: `left` as BlockNeighbours has it, or
// nullptr for the first block.
inline void FirstRowDC(const uint8_t* left, uint8_t* block) {
  int value = 128;
  if (left != nullptr) {
    const BlockNeighbours n{nullptr, left};
    value = (n.L(0) + n.L(1) + n.L(2) + n.L(3) + 2) >> 2;
  }
  intra_detail::StoreFlat<true>(value, block, kApartStride);
}

}  // namespace vexo
