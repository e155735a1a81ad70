#include "decode_helpers.h"

namespace vexo::testing {

DecodedPicture DecodeWith(VexoFamily family, const std::vector<uint8_t>& file, uint16_t fill) {
  const auto header = ReadVexoHeader(file);
  const size_t pixels = header ? VexoPixelCount(*header) : 0;
  DecodedPicture decoded{{}, std::vector<uint16_t>(pixels, fill)};
  decoded.outcome = VexoDecode(family, file, decoded.pixels);
  return decoded;
}

}  // namespace vexo::testing
