#include "transform/transform_decoder.h"

namespace vexo {

// Not available yet: fails cleanly rather than leaving an empty picture.
VexoDecodeResult DecodeTransform(const PathInput&) { return {VexoStatus::kUnsupported, -1}; }

}  // namespace vexo
