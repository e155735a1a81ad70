#include <cmath>
#include <limits>

#include "vexo_encoder.h"

namespace vexo {

double PsnrAgainstSource(const RgbPicture& source, const std::vector<uint16_t>& decoded) {
  if (decoded.size() * 3 != source.rgb.size()) return std::numeric_limits<double>::quiet_NaN();
  double squaredError = 0;
  for (size_t i = 0; i < decoded.size(); ++i) {
    const uint16_t pixel = decoded[i];
    const int shown[3] = {(pixel >> 8) & 0xF8, (pixel >> 3) & 0xFC, (pixel << 3) & 0xF8};
    for (int c = 0; c < 3; ++c) {
      const double difference = shown[c] - source.rgb[3 * i + c];
      squaredError += difference * difference;
    }
  }
  if (squaredError == 0) return std::numeric_limits<double>::infinity();
  const double meanSquaredError = squaredError / (3.0 * static_cast<double>(decoded.size()));
  return 10.0 * std::log10(255.0 * 255.0 / meanSquaredError);
}

}  // namespace vexo
