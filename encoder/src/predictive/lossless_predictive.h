// The predictive path at quality 0: every pixel decodes to exactly its
// 5-6-5 value, each block in its cheapest mode by exact bit cost.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace vexo {

struct PredictiveStreams {
  std::vector<uint8_t> bits;  // the bit stream, the last byte padded with zero bits
  std::vector<uint16_t> raw;  // the raw-pixel stream
};

// Modes tried per block at an effort: all four from kDefaultEffort up, and
// there the file is the smallest the syntax allows (each pixel takes the
// shortest code that rebuilds it, and a lossless block's code changes
// nothing the later blocks predict from). Lower efforts skip the modes that
// seldom win.
PredictiveStreams CodeLosslessPredictive(std::span<const uint16_t> pixels, int32_t width,
                                         int32_t height, int effort);

}  // namespace vexo
