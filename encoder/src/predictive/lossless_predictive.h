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

// From effort 2 up every block takes its cheapest mode and every pixel its
// shortest code, which gives the smallest file the syntax allows: a lossless
// block's code changes nothing later blocks predict from, and the streams
// have no state across blocks. Efforts 0 and 1 try fewer modes, for speed.
PredictiveStreams CodeLosslessPredictive(std::span<const uint16_t> pixels, int32_t width,
                                         int32_t height, int effort);

}  // namespace vexo
