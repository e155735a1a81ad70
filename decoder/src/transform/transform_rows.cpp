#include "transform/transform_rows.h"

#include <algorithm>
#include <cstring>

#include "transform/dequantised_list_reader.h"
#include "transform/level_code.h"
#include "transform/quality_tables.h"
#include "transform/transform_format.h"
#include "transform/transform_kernels.h"

namespace vexo {
namespace {

// How far past its fetch position the reader may load while decoding one
// block position of the longest kind: the position's bits, rounded up, then
// at most 8 fetched bytes not yet consumed (the list reader tops up before
// every entry) and the 8-byte load itself.
constexpr size_t kPositionFetchBytes =
    (kIntraModeBits + kTransformPlaneCount * kMaxListBits) / 8 + 1 + 8 + 8;

// Each plane's history row: the corner at -1 behind three unused samples,
// and four samples after the padded width.
constexpr ptrdiff_t kHistoryLead = 4;
constexpr ptrdiff_t kHistoryTail = 4;
constexpr uintptr_t kHistoryAlignment = 4;

uint32_t LoadWord(const uint8_t* at) {
  uint32_t word;
  std::memcpy(&word, __builtin_assume_aligned(at, 4), sizeof word);
  return word;
}

void StoreWord(uint8_t* at, uint32_t word) {
  std::memcpy(__builtin_assume_aligned(at, 4), &word, sizeof word);
}

// The blocks of one block position and what the next ones need of them.
struct PositionBlocks {
  alignas(16) uint8_t samples[kTransformPlaneCount][16];
  // The samples left of the next block's rows (its L[0] to L[3]).
  alignas(4) uint8_t left[kTransformPlaneCount][4];
  // The bottom row of the block before, to go into the history once the
  // block after it has read its corner there.
  uint32_t pendingBottom[kTransformPlaneCount];
  BlockCoefficients coefficients[kTransformPlaneCount];
  CoefficientMask masks[kTransformPlaneCount];
};

// One block row: the decoder's state, where the rows go, the blocks.
template <class Policy>
class RowDecode {
 public:
  using Kernels =
      std::conditional_t<Policy::kSmall, PlainTransformKernels, ProcessorTransformKernels>;

  RowDecode(TransformRows<Policy>& rows, const BlockRowTarget& target)
      : s_(rows), t_(target), stride_(rows.HistoryStride()) {}

  // False as soon as a consumed bit lay past the end of the file.
  bool DecodeBlockRow() {
    const bool firstRow = t_.firstRow == 0;
    StartRow(firstRow);
    const auto columns = static_cast<int32_t>(BlocksCovering(s_.width));
    for (int32_t column = 0; column < columns; ++column) {
      if (!Policy::kSmall && s_.bits.HasBytesAhead(kPositionFetchBytes)) {
        DecodeBlockPosition<false>(firstRow, column);
      } else {
        DecodeBlockPosition<true>(firstRow, column);
        if (s_.bits.ConsumedPastEnd()) return false;
      }
      Pack(column);
    }
    FinishRow();
    return true;
  }

 private:
  uint8_t* History(int plane) const { return s_.history + plane * stride_ + kHistoryLead; }

  // The history holds the row above; the first block column predicts from
  // its last sample (L[0]) and zeros below it (samples not decoded yet), and
  // until the first block is rebuilt the last block column finds zeros
  // right of the row above (in a picture one block wide it never finds
  // anything else there: its own top row, not decoded yet).
  void StartRow(bool firstRow) {
    for (int p = 0; p < kTransformPlaneCount; ++p) {
      uint8_t* history = History(p);
      StoreWord(history + s_.paddedWidth, 0);
      const uint8_t lastAbove = firstRow ? 0 : history[s_.paddedWidth - 1];
      std::memset(b_.left[p], 0, 4);
      b_.left[p][0] = lastAbove;
    }
  }

  // The last block's bottom row joins the history, and the first block
  // column of the next block row finds its corner, the last sample of this
  // block row's third row, before the history row.
  void FinishRow() {
    for (int p = 0; p < kTransformPlaneCount; ++p) {
      uint8_t* history = History(p);
      StoreWord(history + s_.paddedWidth - 4, b_.pendingBottom[p]);
      history[-1] = b_.samples[p][11];
    }
  }

  template <bool kCheckedRefill>
  void Refill() {
    if constexpr (kCheckedRefill) {
      s_.bits.Refill();
    } else {
      s_.bits.RefillUnchecked();
    }
  }

  template <bool kCheckedRefill>
  void DecodeBlockPosition(bool firstRow, int32_t column) {
    int mode = 0;
    if (!firstRow) {
      if (s_.bits.Count() < kIntraModeBits) Refill<kCheckedRefill>();
      mode = static_cast<int>(s_.bits.Peek(kIntraModeBits));
      s_.bits.Skip(kIntraModeBits);
    }
    for (int p = 0; p < kTransformPlaneCount; ++p) {
      b_.masks[p] = ReadDequantisedList<kCheckedRefill>(s_.bits, s_.escapeWidth, s_.steps,
                                                        b_.coefficients[p]);
    }
    if (firstRow) {
      for (int p = 0; p < kTransformPlaneCount; ++p) {
        FirstRowDC(column == 0 ? nullptr : b_.left[p], b_.samples[p], 4);
      }
    } else {
      Predict(mode, column);
    }
    for (int p = 0; p < kTransformPlaneCount; ++p) Rebuild(p, column);
  }

  // The mode is chosen once for the three planes: a routine per mode in the
  // speed policy, at run time in the small one.
  void Predict(int mode, int32_t column) {
    if constexpr (Policy::kSmall) {
      for (int p = 0; p < kTransformPlaneCount; ++p) {
        Kernels::Predict(mode, Above(p, column), b_.left[p], b_.samples[p]);
      }
    } else {
      switch (mode) {
        case kIntraDiagDownRight:
          return PredictEach<kIntraDiagDownRight>(column);
        case kIntraHorDown:
          return PredictEach<kIntraHorDown>(column);
        case kIntraDC:
          return PredictEach<kIntraDC>(column);
        case kIntraHorizontal:
          return PredictEach<kIntraHorizontal>(column);
        case kIntraVertical:
          return PredictEach<kIntraVertical>(column);
        case kIntraVertLeft:
          return PredictEach<kIntraVertLeft>(column);
        case kIntraDiagDownLeft:
          return PredictEach<kIntraDiagDownLeft>(column);
        default:
          return PredictEach<kIntraHorUp>(column);
      }
    }
  }

  template <int kMode>
  void PredictEach(int32_t column) {
    for (int p = 0; p < kTransformPlaneCount; ++p) {
      Kernels::template Predict<kMode>(Above(p, column), b_.left[p], b_.samples[p]);
    }
  }

  const uint8_t* Above(int plane, int32_t column) const {
    return History(plane) + column * kTransformBlockSize;
  }

  // After the block's prediction has read its corner in the history, the
  // block before it may write its bottom row there.
  void Rebuild(int p, int32_t column) {
    uint8_t* const block = b_.samples[p];
    uint8_t* const history = History(p);
    if (column > 0) StoreWord(history + (column - 1) * kTransformBlockSize, b_.pendingBottom[p]);
    Kernels::Reconstruct(block, b_.coefficients[p], b_.masks[p]);
    b_.pendingBottom[p] = LoadWord(block + 12);
    b_.left[p][0] = block[3];
    b_.left[p][1] = block[7];
    b_.left[p][2] = block[11];
    b_.left[p][3] = block[15];
    if (column == 0 && s_.paddedWidth > kTransformBlockSize) {
      StoreWord(history + s_.paddedWidth, LoadWord(block));
    }
  }

  void Pack(int32_t column) const {
    const int32_t x = column * kTransformBlockSize;
    Kernels::Pack(b_.samples[0], b_.samples[1], b_.samples[2],
                  std::min<int32_t>(kTransformBlockSize, s_.width - x), t_.rowCount, t_.rows + x,
                  t_.stride, s_.byteSwapped);
  }

  TransformRows<Policy>& s_;
  const BlockRowTarget& t_;
  const ptrdiff_t stride_;
  PositionBlocks b_;
};

}  // namespace

size_t TransformHistoryBytes(int32_t width) {
  if (width < 1) return 0;
  const auto stride = static_cast<size_t>(PaddedToBlocks(width) + kHistoryLead + kHistoryTail);
  return kTransformPlaneCount * stride + kHistoryAlignment;
}

template <class Policy>
TransformRows<Policy>::TransformRows(const DecodePlan& plan, const uint8_t* file, uint64_t fileSize,
                                     uint8_t* historyMemory, bool swapped)
    : bits(file, static_cast<size_t>(fileSize), kTransformStreamStart),
      steps(MakeDequantSteps(*TransformQualityFor(plan.header.quality))),
      escapeWidth(TransformQualityFor(plan.header.quality)->escapeWidth),
      width(plan.width),
      paddedWidth(PaddedToBlocks(plan.width)),
      history(historyMemory +
              (-reinterpret_cast<uintptr_t>(historyMemory) & (kHistoryAlignment - 1))),
      byteSwapped(swapped) {}

template <class Policy>
VexoStatus TransformRows<Policy>::DecodeBlockRow(const BlockRowTarget& target) {
  RowDecode<Policy> decode(*this, target);
  return decode.DecodeBlockRow() ? VexoStatus::kOk : VexoStatus::kTruncated;
}

template <class Policy>
int32_t TransformRows<Policy>::Result() const {
  return static_cast<int32_t>(bits.EndOffset());
}

#if VEXO_BUILDS_SPEED_POLICY
template class TransformRows<SpeedPolicy>;
#endif
template class TransformRows<SmallPolicy>;

}  // namespace vexo
