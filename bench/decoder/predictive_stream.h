// A predictive-path file with a plausible mix of codes, for the benchmarks,
// which want realistic rather than uniformly random streams.
#pragma once

#include <cstdint>
#include <vector>

namespace vexo::testing {

// Mostly copies and small deltas, a few large deltas, raw pixels and fills,
// from a fixed seed so every run decodes the same picture.
std::vector<uint8_t> MakeTypicalPredictiveFile(uint16_t width, uint16_t height,
                                               uint8_t codecVersion = 101, uint32_t seed = 1);

}  // namespace vexo::testing
