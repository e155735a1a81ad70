// The transform path of codec family 101.
#pragma once

#include "common/path_input.h"

namespace vexo {

VexoDecodeResult DecodeTransform(const PathInput& input);

}  // namespace vexo
