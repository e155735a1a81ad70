// The decode of a whole file into a caller's picture and working memory: the
// core that the C interface and the C++ entries share. Allocates nothing and
// keeps no state.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "block_rows.h"
#include "plan.h"

namespace vexo {

// Where and how a decode stores its pixels: row y of the picture starts at
// pixels[y x stride]; the span covers every picture pixel (and the gaps
// between rows, which are never written).
struct PictureOutput {
  std::span<uint16_t> pixels;
  ptrdiff_t stride;
  bool byteSwapped;
};

// Pixels an output with this stride must span for the plan's picture:
// (height - 1) x stride + width, or 0 for a picture without pixels.
size_t PicturePixelsSpanned(const DecodePlan& plan, size_t stride);

// Bytes of working memory the whole decode of the plan needs: the transform
// path's history, nothing on the other paths or without pixels.
size_t WholeWorkspaceBytes(const DecodePlan& plan);

// The whole decode of a file whose header reads as `plan`: the quality
// check, then the output (malformed when it cannot hold the picture or its
// stride is below the width), then the file's size against the picture
// (truncated), then the workspace (kWorkspace when smaller than
// WholeWorkspaceBytes), then the path, one block row after another straight
// into the picture.
template <class Policy>
VexoDecodeResult DecodeWholePicture(const DecodePlan& plan, std::span<const uint8_t> file,
                                    const PictureOutput& output, std::span<uint8_t> workspace);

extern template VexoDecodeResult DecodeWholePicture<SpeedPolicy>(const DecodePlan&,
                                                                 std::span<const uint8_t>,
                                                                 const PictureOutput&,
                                                                 std::span<uint8_t>);
extern template VexoDecodeResult DecodeWholePicture<SmallPolicy>(const DecodePlan&,
                                                                 std::span<const uint8_t>,
                                                                 const PictureOutput&,
                                                                 std::span<uint8_t>);

// The header read as `family` (or the family its version byte names), then
// DecodeWholePicture with the policy this build decodes with.
VexoDecodeResult DecodeVexoFile(std::optional<VexoFamily> family, std::span<const uint8_t> file,
                                const PictureOutput& output, std::span<uint8_t> workspace);

}  // namespace vexo
