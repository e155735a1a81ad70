#include "band/band_decode.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <new>
#include <type_traits>

#include "block_rows.h"
#include "fast/fast_rows.h"
#include "predictive/predictive_rows.h"
#include "transform/transform_rows.h"

namespace vexo {
namespace {

using Predictive = PredictiveRows<ActivePolicy>;
using Fast = FastRows<ActivePolicy>;
using Transform = TransformRows<ActivePolicy>;

// Marks a workspace that vexo_band_begin set up.
constexpr uint32_t kBandTag = 0x444E4256;

constexpr size_t kPathBytes = std::max({sizeof(Predictive), sizeof(Fast), sizeof(Transform)});
constexpr size_t kPathAlignment =
    std::max({alignof(Predictive), alignof(Fast), alignof(Transform)});

// What the workspace holds between bands; the row above the next band (the
// transform path's history) follows it.
struct BandState {
  uint32_t tag;
  VexoStatus status;  // kOk, or the failure every later call returns
  int32_t nextRow;    // the picture row of the next band
  // The last pixel of the row before the one above the next band.
  uint16_t corner;
  bool byteSwapped;
  DecodePlan plan;
  alignas(kPathAlignment) unsigned char path[kPathBytes];

  uint8_t* Following() { return reinterpret_cast<uint8_t*>(this + 1); }
  uint16_t* RowAbove() { return reinterpret_cast<uint16_t*>(Following()); }
};

constexpr size_t kStateBytes = sizeof(BandState) + alignof(BandState) - 1;
// The workspace of the predictive and fast paths is at most 2 x width + 256.
static_assert(kStateBytes <= 256);

// The state in a workspace of that size at any alignment, or nullptr when
// it does not fit.
BandState* StateIn(void* workspace, size_t workspaceSize) {
  if (workspace == nullptr || workspaceSize < kStateBytes) return nullptr;
  const auto address = reinterpret_cast<uintptr_t>(workspace);
  const uintptr_t skipped = -address & (alignof(BandState) - 1);
  return reinterpret_cast<BandState*>(static_cast<uint8_t*>(workspace) + skipped);
}

BandState* BegunState(void* workspace) {
  BandState* state = StateIn(workspace, std::numeric_limits<size_t>::max());
  return state != nullptr && state->tag == kBandTag ? state : nullptr;
}

template <class Rows>
Rows& PathOf(BandState& state) {
  return *std::launder(reinterpret_cast<Rows*>(state.path));
}

int Fail(BandState& state, VexoStatus status) {
  state.status = status;
  return static_cast<int>(status);
}

// The row above the next band, as the predictive and fast paths read it
// (the last row of the band, and the last pixel of the row before), before
// the band's bytes are swapped.
void KeepRowAbove(BandState& state, const BlockRowTarget& band) {
  const int32_t width = state.plan.width;
  const uint16_t* last = band.rows + (band.rowCount - 1) * band.stride;
  if (band.rowCount > 1) state.corner = last[-band.stride + width - 1];
  std::copy_n(last, width, state.RowAbove());
}

void SwapBand(const BlockRowTarget& band, int32_t width) {
  for (int32_t r = 0; r < band.rowCount; ++r) {
    uint16_t* row = band.rows + r * band.stride;
    for (int32_t x = 0; x < width; ++x) row[x] = static_cast<uint16_t>(row[x] << 8 | row[x] >> 8);
  }
}

template <class Rows>
int DecodeBand(BandState& state, const BlockRowTarget& band) {
  const VexoStatus status = PathOf<Rows>(state).DecodeBlockRow(band);
  if (status != VexoStatus::kOk) return Fail(state, status);
  if constexpr (!std::is_same_v<Rows, Transform>) {
    KeepRowAbove(state, band);
    if (state.byteSwapped) SwapBand(band, state.plan.width);
  }
  return band.rowCount;
}

// A stride whose rows of a band stay addressable.
bool UsableStride(size_t stride, int32_t width) {
  const auto most =
      (static_cast<size_t>(PTRDIFF_MAX) - static_cast<size_t>(width)) / (kBlockRowHeight - 1);
  return stride >= static_cast<size_t>(width) && stride <= most;
}

}  // namespace

size_t BandWorkspaceBytes(const DecodePlan& plan) {
  if (!plan.HasPixels()) return kStateBytes;
  if (plan.path == VexoPath::kTransform) return kStateBytes + TransformHistoryBytes(plan.width);
  return kStateBytes + sizeof(uint16_t) * static_cast<size_t>(plan.width);
}

void FailBands(void* workspace, size_t workspaceSize, VexoStatus status) {
  BandState* state = StateIn(workspace, workspaceSize);
  if (state != nullptr) new (state) BandState{kBandTag, status, 0, 0, false, {}, {}};
}

VexoStatus BeginBands(void* workspace, size_t workspaceSize, const DecodePlan& plan,
                      const uint8_t* file, uint64_t fileSize, bool byteSwapped) {
  if (const VexoStatus status = CheckPlanQuality(plan); status != VexoStatus::kOk) {
    FailBands(workspace, workspaceSize, status);
    return status;
  }
  BandState* state = StateIn(workspace, workspaceSize);
  if (state == nullptr || workspaceSize < BandWorkspaceBytes(plan)) {
    FailBands(workspace, workspaceSize, VexoStatus::kWorkspace);
    return VexoStatus::kWorkspace;
  }
  new (state) BandState{kBandTag, VexoStatus::kOk, 0, 0, byteSwapped, plan, {}};
  // Reported by the first band, as the whole decode reports it before any.
  if (!FileCanHoldPlan(plan, fileSize)) {
    state->status = VexoStatus::kTruncated;
    return VexoStatus::kOk;
  }
  switch (plan.path) {
    case VexoPath::kPredictive:
      new (state->path) Predictive(plan, file, fileSize);
      break;
    case VexoPath::kFast:
      new (state->path) Fast(plan, file, fileSize);
      break;
    case VexoPath::kTransform:
      new (state->path) Transform(plan, file, fileSize, state->Following(), byteSwapped);
      break;
  }
  return VexoStatus::kOk;
}

int NextBand(void* workspace, uint16_t* rows, size_t stride, int* firstRow) {
  BandState* state = BegunState(workspace);
  if (state == nullptr) return static_cast<int>(VexoStatus::kWorkspace);
  if (state->status != VexoStatus::kOk) return static_cast<int>(state->status);
  const DecodePlan& plan = state->plan;
  if (!plan.HasPixels() || state->nextRow >= plan.height) return 0;
  if (rows == nullptr || !UsableStride(stride, plan.width)) {
    return Fail(*state, VexoStatus::kMalformed);
  }
  const int32_t top = state->nextRow;
  const BlockRowTarget band{rows,
                            static_cast<ptrdiff_t>(stride),
                            std::min(kBlockRowHeight, plan.height - top),
                            top,
                            top > 0 ? state->RowAbove() : nullptr,
                            top > 0 ? state->corner : uint16_t{0},
                            false,
                            nullptr};
  int count = 0;
  switch (plan.path) {
    case VexoPath::kPredictive:
      count = DecodeBand<Predictive>(*state, band);
      break;
    case VexoPath::kFast:
      count = DecodeBand<Fast>(*state, band);
      break;
    case VexoPath::kTransform:
      count = DecodeBand<Transform>(*state, band);
      break;
  }
  if (count <= 0) return count;
  state->nextRow = top + count;
  if (firstRow != nullptr) *firstRow = top;
  return count;
}

}  // namespace vexo
