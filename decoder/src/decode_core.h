// The decode of a whole file into a caller's picture and working memory: the
// one core that the C interface and the C++ entries share. Allocates
// nothing and keeps no state.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "vexo_header.h"
#include "vexo_status.h"

namespace vexo {

// Where and how a decode stores its pixels: row y of the picture starts at
// pixels[y x stride]; the span covers every picture pixel (and the gaps
// between rows, which are never written).
struct PictureOutput {
  std::span<uint16_t> pixels;
  ptrdiff_t stride;
  bool byteSwapped;
};

// Pixels an output with this stride must span for the header's picture:
// (height - 1) x stride + width, or 0 for a picture without pixels.
size_t PicturePixelsSpanned(const VexoHeader& header, size_t stride);

// Bytes of working memory the decode of this header needs as `family`.
size_t PathWorkspaceBytes(VexoFamily family, const VexoHeader& header);

// The whole decode: the header checks of VexoCheckHeader, then the output
// (malformed when it cannot hold the picture or its stride is below the
// width), then the file's size against the picture (truncated), then the
// workspace (out of memory when smaller than PathWorkspaceBytes), then the
// path.
VexoDecodeResult DecodeVexoFile(VexoFamily family, std::span<const uint8_t> file,
                                const PictureOutput& output, std::span<uint8_t> workspace);

}  // namespace vexo
