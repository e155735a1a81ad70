// Small wrappers the decoder tests share.
#pragma once

#include <cstdint>
#include <vector>

#include "vexo_decoder.h"

namespace vexo::testing {

struct DecodedPicture {
  VexoDecodeResult outcome;
  std::vector<uint16_t> pixels;
};

// Decodes through the re-entrant entry into a buffer sized from the header
// and pre-filled with `fill`, so tests can tell that the result does not
// depend on the buffer's prior content.
DecodedPicture DecodeWith(VexoFamily family, const std::vector<uint8_t>& file,
                          uint16_t fill = 0xA5A5);

}  // namespace vexo::testing
