// The predictive-path encoder. Quality 0 is lossless in 5-6-5; quality 1
// lets every channel of a pixel land within 1 step of its value, quality 2
// (the coarse delta table) within 2 steps.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "vexo_encoder.h"
#include "vexo_header.h"

namespace vexo {

// Largest per-channel error, in 5-6-5 steps, that a quality allows.
int PredictiveTolerance(int quality);

// The whole file for a picture of width x height 5-6-5 pixels. The effort
// (kLowestEffort to kHighestEffort) steers the lossless search at quality 0.
std::vector<uint8_t> EncodePredictive(std::span<const uint16_t> pixels, const VexoHeader& header,
                                      int effort = kDefaultEffort);

}  // namespace vexo
