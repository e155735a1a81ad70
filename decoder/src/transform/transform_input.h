// What both forms of the transform path check before they decode.
#pragma once

#include <optional>

#include "common/path_input.h"
#include "transform/quality_tables.h"
#include "transform/transform_format.h"

namespace vexo {

// The result to return at once, or nothing when the decode goes on: a
// quality above 51 is malformed; a picture without pixels reads and writes
// nothing; a file too short for even the shortest coding of its blocks is
// truncated; a workspace smaller than TransformWorkspaceBytes is out of
// memory.
inline std::optional<VexoDecodeResult> TransformInputVerdict(const PathInput& input) {
  if (!TransformQualityFor(input.quality)) return VexoDecodeResult{VexoStatus::kMalformed, -1};
  if (input.width < 1 || input.height < 1) {
    return VexoDecodeResult{VexoStatus::kOk, static_cast<int32_t>(kTransformStreamStart)};
  }
  if (!TransformFileCanHold(input.width, input.height, input.file.size())) {
    return VexoDecodeResult{VexoStatus::kTruncated, -1};
  }
  if (input.workspace.size() < TransformWorkspaceBytes(input.width)) {
    return VexoDecodeResult{VexoStatus::kOutOfMemory, -1};
  }
  return std::nullopt;
}

}  // namespace vexo
