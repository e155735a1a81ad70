#include <cctype>
#include <vector>

#include "picture_reader.h"
#include "size_problem.h"

namespace vexo {

namespace {

// Reads the next decimal header field, skipping white space and comments.
bool NextField(std::span<const uint8_t> bytes, size_t& at, int64_t& value) {
  while (at < bytes.size()) {
    if (bytes[at] == '#') {
      while (at < bytes.size() && bytes[at] != '\n') ++at;
    } else if (std::isspace(bytes[at])) {
      ++at;
    } else {
      break;
    }
  }
  if (at >= bytes.size() || !std::isdigit(bytes[at])) return false;
  value = 0;
  while (at < bytes.size() && std::isdigit(bytes[at]) && value < (1 << 24)) {
    value = value * 10 + (bytes[at++] - '0');
  }
  return true;
}

}  // namespace

Result<RgbPicture> DecodePpm(std::span<const uint8_t> bytes, const std::string& name) {
  const auto problem = [&](ErrorCode code, const char* what) {
    return Error{code, name + ": " + what};
  };
  size_t at = 2;
  int64_t width = 0, height = 0, maxValue = 0;
  if (!NextField(bytes, at, width) || !NextField(bytes, at, height) ||
      !NextField(bytes, at, maxValue) || at >= bytes.size()) {
    return problem(ErrorCode::kDamaged, "PPM header is damaged");
  }
  ++at;  // the single white-space byte before the samples
  if (maxValue < 1 || maxValue > 255) {
    return problem(ErrorCode::kUnsupported, "only 8-bit PPM pictures are read");
  }
  if (width < 1 || height < 1 || width > kVexoLargestSide + 1 || height > kVexoLargestSide + 1) {
    return problem(SizeProblem(width, height), "PPM picture size is out of range");
  }
  const size_t sampleCount = 3 * static_cast<size_t>(width) * static_cast<size_t>(height);
  if (bytes.size() - at < sampleCount) {
    return problem(ErrorCode::kDamaged, "PPM pixel data is cut short");
  }
  RgbPicture picture{static_cast<int32_t>(width), static_cast<int32_t>(height),
                     std::vector<uint8_t>(sampleCount), maxValue == 255};
  for (size_t i = 0; i < sampleCount; ++i) {
    picture.rgb[i] = static_cast<uint8_t>((bytes[at + i] * 255 + maxValue / 2) / maxValue);
  }
  return picture;
}

}  // namespace vexo
