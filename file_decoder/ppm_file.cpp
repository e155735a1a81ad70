#include "ppm_file.h"

namespace vexo {

std::string PpmHeader(int32_t width, int32_t height) {
  return "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
}

}  // namespace vexo
