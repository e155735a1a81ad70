// Generated 8-bit pictures for encoder tests: flat, gradients, noise and
// sharp edges, in any size.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "vexo_encoder.h"

namespace vexo::testing {

enum class PictureKind { kFlat, kGradient, kNoise, kEdges };

std::string PictureKindName(PictureKind kind);

RgbPicture MakeTestPicture(PictureKind kind, int32_t width, int32_t height, uint32_t seed = 1);

}  // namespace vexo::testing
