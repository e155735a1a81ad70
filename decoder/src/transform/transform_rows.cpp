#include "transform/transform_rows.h"

#include <algorithm>
#include <cstring>

#include "transform/compact_list_reader.h"
#include "transform/compact_transform_kernels.h"
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

// The blocks of the block position being decoded and of the one before,
// in turn: each block is 16 samples in a row, and the last column of the
// block before is the next block's left column (BlockNeighbours).
struct PositionBlocks {
  alignas(16) uint8_t samples[2][kTransformPlaneCount][16];
  // The left column of the first block column: the last sample of the row
  // above and zeros below it (samples not decoded yet), laid out as a
  // block's last column.
  alignas(16) uint8_t firstLeft[kTransformPlaneCount][16];
  BlockCoefficients coefficients[kTransformPlaneCount];
  CoefficientMask masks[kTransformPlaneCount];
};

// One block row: the decoder's state, where the rows go, the blocks.
template <class Policy>
class RowDecode {
 public:
  using Kernels = std::conditional_t<Policy::kSmall, CompactTransformKernels, TransformKernels>;

  RowDecode(TransformRows<Policy>& rows, const BlockRowTarget& target)
      : s_(rows),
        t_(target),
        stride_(rows.HistoryStride()),
        wholeBlocksAligned_(WholeBlocksAligned(target)) {}

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
    FinishRow(columns - 1);
    return true;
  }

 private:
  uint8_t* History(int plane) const { return s_.history + plane * stride_ + kHistoryLead; }

  uint8_t* Block(int32_t column, int plane) { return b_.samples[column & 1][plane]; }

  // The history holds the row above. Until the first block is rebuilt the
  // last block column finds zeros right of the row above (in a picture one
  // block wide it never finds anything else there: its own top row, not
  // decoded yet).
  void StartRow(bool firstRow) {
    for (int p = 0; p < kTransformPlaneCount; ++p) {
      uint8_t* history = History(p);
      StoreWord(history + s_.paddedWidth, 0);
      std::memset(b_.firstLeft[p], 0, 16);
      if (!firstRow) b_.firstLeft[p][3] = history[s_.paddedWidth - 1];
    }
  }

  // The last block's bottom row joins the history, and the first block
  // column of the next block row finds its corner, the last sample of this
  // block row's third row, before the history row.
  void FinishRow(int32_t lastColumn) {
    for (int p = 0; p < kTransformPlaneCount; ++p) {
      uint8_t* history = History(p);
      const uint8_t* last = Block(lastColumn, p);
      StoreWord(history + s_.paddedWidth - 4, LoadWord(last + 12));
      history[-1] = last[11];
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
      if constexpr (kCheckedRefill) s_.bits.EnsureReal(kIntraModeBits);
      mode = static_cast<int>(s_.bits.Peek(kIntraModeBits));
      s_.bits.Skip(kIntraModeBits);
    }
    for (int p = 0; p < kTransformPlaneCount; ++p) {
      if constexpr (Policy::kSmall) {
        b_.masks[p] = ReadCompactList(s_.bits, s_.escapeWidth, s_.steps, b_.coefficients[p]);
      } else {
        b_.masks[p] = ReadDequantisedList<kCheckedRefill>(s_.bits, s_.escapeWidth, s_.steps,
                                                          b_.coefficients[p]);
      }
    }
    if (firstRow) {
      for (int p = 0; p < kTransformPlaneCount; ++p) {
        FirstRowDC(column == 0 ? nullptr : Left(column, p), Block(column, p));
      }
    } else {
      Predict(mode, column);
    }
    for (int p = 0; p < kTransformPlaneCount; ++p) Rebuild(p, column);
  }

  // The samples left of the block's rows, as BlockNeighbours reads them.
  const uint8_t* Left(int32_t column, int plane) {
    return (column == 0 ? b_.firstLeft[plane] : Block(column - 1, plane)) + 3;
  }

  const uint8_t* Above(int plane, int32_t column) const {
    return History(plane) + column * kTransformBlockSize;
  }

  // The mode is chosen once for the three planes: a routine per mode in the
  // speed policy, at run time in the small one.
  void Predict(int mode, int32_t column) {
    if constexpr (Policy::kSmall) {
      for (int p = 0; p < kTransformPlaneCount; ++p) {
        Kernels::Predict(mode, Above(p, column), Left(column, p), Block(column, p));
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
      Kernels::template Predict<kMode>(Above(p, column), Left(column, p), Block(column, p));
    }
  }

  // Once the block's prediction has read its corner in the history, the
  // block before it may write its bottom row there.
  [[gnu::always_inline]] void Rebuild(int p, int32_t column) {
    uint8_t* const block = Block(column, p);
    uint8_t* const history = History(p);
    if (column > 0) {
      StoreWord(history + (column - 1) * kTransformBlockSize, LoadWord(Block(column - 1, p) + 12));
    } else if (s_.paddedWidth > kTransformBlockSize) {
      // The first block's top row, once rebuilt, is what the last block
      // column finds right of the row above.
      Kernels::Reconstruct(block, b_.coefficients[p], b_.masks[p]);
      StoreWord(history + s_.paddedWidth, LoadWord(block));
      return;
    }
    Kernels::Reconstruct(block, b_.coefficients[p], b_.masks[p]);
  }

  void Pack(int32_t column) {
    const int32_t x = column * kTransformBlockSize;
    if (wholeBlocksAligned_ && x + kTransformBlockSize <= s_.width) {
      PackWhole(b_.samples[column & 1], t_.rows + x, t_.stride, s_.byteSwapped);
    } else {
      Kernels::Pack(Block(column, 0), Block(column, 1), Block(column, 2),
                    std::min<int32_t>(kTransformBlockSize, s_.width - x), t_.rowCount, t_.rows + x,
                    t_.stride, s_.byteSwapped);
    }
  }

  // Out of line, so that the block position's registers stay its own.
  [[gnu::noinline]] static void PackWhole(const uint8_t (*samples)[16], uint16_t* out,
                                          ptrdiff_t stride, bool byteSwapped) {
    Kernels::PackWhole(samples[0], samples[1], samples[2], out, stride, byteSwapped);
  }

  // Rows of four whole-block rows, each starting on a 4-byte boundary.
  static bool WholeBlocksAligned(const BlockRowTarget& t) {
    return t.rowCount == kTransformBlockSize && (reinterpret_cast<uintptr_t>(t.rows) & 3) == 0 &&
           t.stride % 2 == 0;
  }

  TransformRows<Policy>& s_;
  const BlockRowTarget& t_;
  const ptrdiff_t stride_;
  const bool wholeBlocksAligned_;
  PositionBlocks b_;
};

}  // namespace

size_t TransformHistoryBytes(int32_t width) {
  if (width < 1) return 0;
  const auto stride = static_cast<size_t>(PaddedToBlocks(width) + kHistoryLead + kHistoryTail);
  return kTransformPlaneCount * stride + kHistoryAlignment;
}

template <class Policy>
TransformRows<Policy>::TransformRows(const DecodePlan& plan, const StreamSources& sources,
                                     uint8_t* historyMemory, bool swapped)
    : bits(sources.InMemory() ? BitReader(sources.file, static_cast<size_t>(sources.fileSize),
                                          kTransformStreamStart)
                              : BitReader(sources.windows[0], kTransformStreamStart)),
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
