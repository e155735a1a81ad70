#include "fast/fast_decoder.h"

namespace vexo {

// Not available yet: fails cleanly rather than leaving an empty picture.
VexoDecodeResult DecodeFast(const PathInput&) { return {VexoStatus::kUnsupported, -1}; }

}  // namespace vexo
