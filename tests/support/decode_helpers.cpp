#include "decode_helpers.h"

namespace vexo::testing {

DecodedPicture DecodeWith(VexoFamily family, const std::vector<uint8_t>& file, uint16_t fill) {
  size_t pixels = 0;
  if (const auto header = ReadVexoHeader(file)) {
    if (header->SignedWidth() > 0 && header->SignedHeight() > 0) {
      pixels = static_cast<size_t>(header->SignedWidth()) * header->SignedHeight();
    }
  }
  DecodedPicture decoded{{}, std::vector<uint16_t>(pixels, fill)};
  decoded.outcome = VexoDecode(family, file, decoded.pixels);
  return decoded;
}

}  // namespace vexo::testing
