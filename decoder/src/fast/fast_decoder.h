// The fast path of codec family 201.
#pragma once

#include "common/path_input.h"

namespace vexo {

VexoDecodeResult DecodeFast(const PathInput& input);

}  // namespace vexo
