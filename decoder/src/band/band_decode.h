// The decode of a picture band by band, four picture rows at a time, into
// band buffers the caller chooses each time: the same block-row decoders as
// the whole decode, with their state and a copy of the row above the next
// band in the caller's workspace.
#pragma once

#include <cstddef>
#include <cstdint>

#include "plan.h"

namespace vexo {

// Bytes of workspace a band-by-band decode of the plan needs: the state,
// and the row above the next band (the transform path's history). Never 0.
size_t BandWorkspaceBytes(const DecodePlan& plan);

// As vexo_band_begin, given the plan read from the file.
VexoStatus BeginBands(void* workspace, size_t workspaceSize, const DecodePlan& plan,
                      const uint8_t* file, uint64_t fileSize, bool byteSwapped);

// Stores `status` as the answer of every later NextBand on this workspace,
// if the workspace can hold the state.
void FailBands(void* workspace, size_t workspaceSize, VexoStatus status);

// As vexo_band_next: the band's row count, 0 after the last band, or a
// negative status.
int NextBand(void* workspace, uint16_t* rows, size_t stride, int* firstRow);

// The caller's reader of a file, as vexo_reader holds it.
struct ReaderCall {
  long (*read)(void* context, uint32_t offset, uint8_t* buffer, size_t size);
  void* context;
  uint32_t fileSize;
};

// The least input buffering a decode through a reader takes.
inline constexpr size_t kLeastInputBytes = 64;

// Bytes of workspace a band-by-band decode through a reader needs with
// `inputBytes` of input buffering.
size_t BandReaderWorkspaceBytes(const DecodePlan& plan, size_t inputBytes);

// As vexo_band_begin_reader.
VexoStatus BeginBandsThroughReader(void* workspace, size_t workspaceSize, const ReaderCall& reader,
                                   size_t inputBytes, unsigned flags, unsigned knownFlags);

// Read calls a band decode through a reader has made so far (0 for a file
// in memory), for the tests and benchmarks.
uint32_t BandReadCalls(void* workspace);

}  // namespace vexo
