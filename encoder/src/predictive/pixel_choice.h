// The cheapest pixel code that brings a prediction within tolerance of the
// wanted pixel: a copy, a table delta, or a raw pixel.
#pragma once

#include <cstdint>
#include <optional>

#include "predictive/delta_code_index.h"
#include "predictive/predictive_format.h"

namespace vexo {

// The escape code plus the raw-pixel stream's 2 bytes.
inline constexpr int kRawPixelCodeBits = kRawEscapeBits + kRawPixelBits;

struct PixelChoice {
  enum class Kind : uint8_t { kCopy, kDelta, kRaw };
  Kind kind = Kind::kRaw;
  DeltaCode code;      // for kDelta
  uint16_t value = 0;  // what the decoder will write
  int bits = kRawPixelCodeBits;
};

// True when every channel of a lies within `tolerance` steps of b's.
bool WithinTolerance(uint16_t a, uint16_t b, int tolerance);

// `predicted` is empty when the decoder would predict from a pixel it has
// not written; then only a raw pixel is safe.
PixelChoice ChoosePixelCode(std::optional<uint16_t> predicted, uint16_t wanted, int tolerance,
                            const DeltaCodeIndex& index);

}  // namespace vexo
