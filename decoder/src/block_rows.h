// What every coding path's decoder shares: it decodes a picture one block
// row (four picture rows, the last one possibly fewer) at a time, into rows
// the caller chooses, reading above them only the picture row just before.
// The whole-picture decode hands it the rows of the picture itself; the
// band-by-band decode a band buffer and a copy of the row above.
//
// Two policies build each path from the same source: the speed policy
// (tables and straight-line code for every case) and the small policy (a
// fraction of the code and constant data, for devices where the decoder's
// size counts most). Both give the same pixels, statuses and results.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vexo {

struct SpeedPolicy {
  static constexpr bool kSmall = false;
};
struct SmallPolicy {
  static constexpr bool kSmall = true;
};

// The policy the library decodes with. A build for the small policy leaves
// the speed policy's code out; the others build both, so that the tests hold
// them to each other.
#if defined(VEXO_DECODER_SMALL) && VEXO_DECODER_SMALL
using ActivePolicy = SmallPolicy;
#define VEXO_BUILDS_SPEED_POLICY 0
#else
using ActivePolicy = SpeedPolicy;
#define VEXO_BUILDS_SPEED_POLICY 1
#endif

inline constexpr int32_t kBlockRowHeight = 4;

// The whole picture, for a decode that may write outside the block row it
// is in (the fast path after an undefined block mode).
struct WholePicture {
  uint16_t* pixels;
  ptrdiff_t stride;
  int32_t height;
};

// Where one block row goes and what lies above it.
struct BlockRowTarget {
  uint16_t* rows;    // the block row's first picture row
  ptrdiff_t stride;  // pixels from one row's start to the next, at least the width
  int32_t rowCount;  // 1 to 4
  int32_t firstRow;  // the picture row of rows[0]
  // The picture row just above (width pixels), or nullptr above the first
  // block row, where the format's sources read as 0.
  const uint16_t* above;
  // The last pixel of the picture row before `above` (0 when there is none).
  uint16_t corner;
  // The rows are the picture's own, one after another with no gap
  // (stride == width) and `above` just before them, so a pixel's source
  // lies at the same linear offset as in the format: the last pixel of the
  // previous row is the one before a row's first.
  bool linear;
  // Set by the whole-picture decode, nullptr band by band.
  const WholePicture* picture;
};

}  // namespace vexo
