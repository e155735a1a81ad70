// The predictive-path encoder. Quality 0 is lossless in 5-6-5; quality 1
// lets every channel of a pixel land within 1 step of its value, quality 2
// (the coarse delta table) within 2 steps.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "vexo_header.h"

namespace vexo {

// Largest per-channel error, in 5-6-5 steps, that a quality allows.
int PredictiveTolerance(int quality);

// The whole file for a picture of width x height 5-6-5 pixels.
std::vector<uint8_t> EncodePredictive(std::span<const uint16_t> pixels, const VexoHeader& header);

}  // namespace vexo
