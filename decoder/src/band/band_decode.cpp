#include "band/band_decode.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <limits>
#include <new>
#include <type_traits>

#include "band/file_reader.h"
#include "block_rows.h"
#include "fast/fast_format.h"
#include "fast/fast_rows.h"
#include "predictive/predictive_format.h"
#include "predictive/predictive_rows.h"
#include "transform/transform_format.h"
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

// What a decode through a reader keeps in the workspace beside the state:
// the reader and a window onto each stream.
struct ReaderBlock {
  FileReader file;
  ReaderWindow windows[3];
};

// What the workspace holds between bands; the row above the next band (the
// transform path's history) follows it, and in a decode through a reader
// then the ReaderBlock and the input buffer.
struct BandState {
  uint32_t tag;
  VexoStatus status;  // kOk, or the failure every later call returns
  int32_t nextRow;    // the picture row of the next band
  // The last pixel of the row before the one above the next band.
  uint16_t corner;
  bool byteSwapped;
  DecodePlan plan;
  ReaderBlock* reader;  // nullptr for a file in memory
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

// The path's decoder, in the state, reading from `sources`.
void StartPath(BandState& state, const StreamSources& sources) {
  const DecodePlan& plan = state.plan;
  switch (plan.path) {
    case VexoPath::kPredictive:
      new (state.path) Predictive(plan, sources);
      break;
    case VexoPath::kFast:
      new (state.path) Fast(plan, sources);
      break;
    case VexoPath::kTransform:
      new (state.path) Transform(plan, sources, state.Following(), state.byteSwapped);
      break;
  }
}

}  // namespace

size_t BandWorkspaceBytes(const DecodePlan& plan) {
  if (!plan.HasPixels()) return kStateBytes;
  if (plan.path == VexoPath::kTransform) return kStateBytes + TransformHistoryBytes(plan.width);
  return kStateBytes + sizeof(uint16_t) * static_cast<size_t>(plan.width);
}

void FailBands(void* workspace, size_t workspaceSize, VexoStatus status) {
  BandState* state = StateIn(workspace, workspaceSize);
  if (state != nullptr) new (state) BandState{kBandTag, status, 0, 0, false, {}, nullptr, {}};
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
  new (state) BandState{kBandTag, VexoStatus::kOk, 0, 0, byteSwapped, plan, nullptr, {}};
  // Reported by the first band, as the whole decode reports it before any.
  if (!FileCanHoldPlan(plan, fileSize)) {
    state->status = VexoStatus::kTruncated;
    return VexoStatus::kOk;
  }
  state->plan.pathFields[0] = 0;
  ReadPathFields(state->plan, file + kVexoHeaderSize);
  StartPath(*state, StreamSources{file, fileSize, {}});
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
  // A failed read fails the band that made it, whatever the path made of
  // the bytes it did not get.
  if (state->reader != nullptr && state->reader->file.failed) {
    return Fail(*state, VexoStatus::kRead);
  }
  if (count <= 0) return count;
  state->nextRow = top + count;
  if (firstRow != nullptr) *firstRow = top;
  return count;
}

}  // namespace vexo

namespace vexo {
namespace {

constexpr uintptr_t kShareAlignment = 4;

uint8_t* AlignedUp(uint8_t* at, uintptr_t alignment) {
  return at + (-reinterpret_cast<uintptr_t>(at) & (alignment - 1));
}

// Where the ReaderBlock goes in a workspace whose state is at `state`.
ReaderBlock* ReaderBlockAfter(BandState* state, const DecodePlan& plan) {
  uint8_t* end =
      reinterpret_cast<uint8_t*>(state) + BandWorkspaceBytes(plan) - (alignof(BandState) - 1);
  return reinterpret_cast<ReaderBlock*>(AlignedUp(end, alignof(ReaderBlock)));
}

// Where each of a path's streams starts, in the path's order; -1 for none.
struct StreamStarts {
  int64_t start[3];
  int count;
};

StreamStarts StartsOf(const DecodePlan& plan) {
  switch (plan.path) {
    case VexoPath::kPredictive:
      return {{kPredictiveStreamStart, plan.pathFields[0], -1}, 2};
    case VexoPath::kFast:
      return {{kFastBlockCodeStart, plan.pathFields[0],
               int64_t{plan.pathFields[0]} + plan.pathFields[1]},
              3};
    case VexoPath::kTransform:
      break;
  }
  return {{kTransformStreamStart, -1, -1}, 1};
}

// About what each stream's window still holds when the decode refills it,
// in the path's order: the predictive bit stream's reach of a few blocks
// and a block's raw pixels; the fast path's few block codes, the symbols of
// a block and a block's raw pixels. The rest of a share is what one read
// brings in.
constexpr uint32_t kKeptAtRefill[3][3] = {{120, 32, 0}, {8, 18, 32}, {0, 0, 0}};

int PathIndex(VexoPath path) {
  return path == VexoPath::kPredictive ? 0 : path == VexoPath::kFast ? 1 : 2;
}

// The square root of a length below 4 GiB, rounded down.
uint32_t SquareRoot(uint32_t value) {
  if (value == 0) return 0;
  uint32_t root = 0;
  // From the root's highest bit, which the value's highest gives.
  for (uint32_t bit = uint32_t{1} << ((std::bit_width(value) - 1) / 2); bit != 0; bit >>= 1) {
    const uint32_t candidate = root + bit;
    // Without a division, which small cores make in a library call.
    if (uint64_t{candidate} * candidate <= value) root = candidate;
  }
  return root;
}

// amount x part / whole, part <= whole: in 32 bits where it fits (a
// 64-bit division is a long library call on a 32-bit core).
uint64_t ProportionOf(uint64_t amount, uint64_t part, uint64_t whole) {
  if (amount <= UINT16_MAX && part <= uint64_t{1} << 16 && whole <= UINT32_MAX) {
    return static_cast<uint32_t>(amount) * static_cast<uint32_t>(part) /
           static_cast<uint32_t>(whole);
  }
  return amount * part / whole;
}

// How many bytes of the input buffer each stream reads ahead in. A stream
// of L bytes read in pieces of p needs about L / p reads, and the decode
// pays for each; the pieces that make the fewest in all are in proportion to
// the square roots of the lengths. Each share is a multiple of 4.
void ShareInput(const DecodePlan& plan, const uint32_t (&lengths)[3], int count, size_t inputBytes,
                size_t (&shares)[3]) {
  const uint32_t* kept = kKeptAtRefill[PathIndex(plan.path)];
  uint64_t keptInAll = 0;
  uint64_t weights[3] = {};
  uint64_t weightInAll = 0;
  for (int s = 0; s < count; ++s) {
    keptInAll += kept[s];
    weights[s] = SquareRoot(lengths[s]) + 1;
    weightInAll += weights[s];
  }
  // An input too small to keep that much is shared evenly.
  const bool even = inputBytes < keptInAll + 16 * static_cast<uint64_t>(count);
  const uint64_t spare = even ? inputBytes : inputBytes - keptInAll;
  for (int s = 0; s < count; ++s) {
    const uint64_t share = even ? spare / static_cast<uint64_t>(count)
                                : kept[s] + ProportionOf(spare, weights[s], weightInAll);
    shares[s] = static_cast<size_t>(share) & ~size_t{3};
  }
}

// A window for each stream in its share of the input buffer, reading ahead
// no further than the next stream of the file starts.
void StartWindows(ReaderBlock& block, const DecodePlan& plan, uint8_t* input, size_t inputBytes) {
  const StreamStarts starts = StartsOf(plan);
  // A file read through a reader is below 4 GiB.
  const uint32_t size = block.file.fileSize;
  uint32_t begins[3] = {};
  uint32_t limits[3] = {};
  uint32_t lengths[3] = {};
  for (int s = 0; s < starts.count; ++s) {
    const int64_t start = starts.start[s];
    begins[s] = start < 0 ? size : static_cast<uint32_t>(std::min<int64_t>(start, size));
    limits[s] = size;
    for (int other = 0; other < starts.count; ++other) {
      const int64_t next = starts.start[other];
      if (next > start && next < int64_t{limits[s]}) limits[s] = static_cast<uint32_t>(next);
    }
    lengths[s] = limits[s] > begins[s] ? limits[s] - begins[s] : 0;
  }
  size_t shares[3] = {};
  ShareInput(plan, lengths, starts.count, inputBytes, shares);
  uint8_t* share = input;
  for (int s = 0; s < starts.count; ++s) {
    block.windows[s].Start(&block.file, share, shares[s], begins[s], limits[s]);
    share += shares[s];
  }
}

}  // namespace

size_t BandReaderWorkspaceBytes(const DecodePlan& plan, size_t inputBytes) {
  return BandWorkspaceBytes(plan) + alignof(ReaderBlock) - 1 + sizeof(ReaderBlock) + inputBytes;
}

VexoStatus BeginBandsThroughReader(void* workspace, size_t workspaceSize, const ReaderCall& call,
                                   size_t inputBytes, unsigned flags, unsigned knownFlags) {
  const auto fail = [&](VexoStatus status) {
    FailBands(workspace, workspaceSize, status);
    return status;
  };
  if (call.read == nullptr) return fail(VexoStatus::kMalformed);
  if (call.fileSize < kVexoHeaderSize) return fail(VexoStatus::kTruncated);
  FileReader file{call.read, call.context, call.fileSize};
  uint8_t head[kVexoHeaderSize];
  if (!file.Read(0, head, sizeof head)) return fail(VexoStatus::kRead);
  DecodePlan plan;
  if (const VexoStatus status = ReadPlan(head, call.fileSize, std::nullopt, plan);
      status != VexoStatus::kOk) {
    return fail(status);
  }
  if ((flags & ~knownFlags) != 0) return fail(VexoStatus::kMalformed);
  if (const VexoStatus status = CheckPlanQuality(plan); status != VexoStatus::kOk) {
    return fail(status);
  }
  BandState* state = StateIn(workspace, workspaceSize);
  if (state == nullptr || inputBytes < kLeastInputBytes ||
      workspaceSize < BandReaderWorkspaceBytes(plan, inputBytes)) {
    return fail(VexoStatus::kWorkspace);
  }
  new (state) BandState{kBandTag, VexoStatus::kOk, 0, 0, flags != 0, plan, nullptr, {}};
  ReaderBlock* block = new (ReaderBlockAfter(state, plan)) ReaderBlock{file, {}};
  state->reader = block;
  if (!FileCanHoldPlan(plan, call.fileSize)) {
    state->status = VexoStatus::kTruncated;  // reported by the first band
    return VexoStatus::kOk;
  }
  uint8_t fields[8] = {};
  if (!block->file.Read(kVexoHeaderSize, fields, PathHeaderBytes(plan))) {
    state->status = VexoStatus::kRead;
    return VexoStatus::kRead;
  }
  ReadPathFields(state->plan, fields);
  StartWindows(*block, state->plan,
               AlignedUp(reinterpret_cast<uint8_t*>(block + 1), kShareAlignment), inputBytes);
  StreamSources sources{nullptr, call.fileSize, {}};
  for (int s = 0; s < 3; ++s) sources.windows[s] = &block->windows[s].window;
  StartPath(*state, sources);
  return VexoStatus::kOk;
}

uint32_t BandReadCalls(void* workspace) {
  BandState* state = BegunState(workspace);
  return state != nullptr && state->reader != nullptr ? state->reader->file.calls : 0;
}

}  // namespace vexo
