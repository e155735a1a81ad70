#include <cstring>

#include "common/little_endian.h"
#include "fast/fast_format.h"
#include "predictive/predictive_format.h"
#include "transform/transform_format.h"
#include "vexo_header.h"

namespace vexo {

bool HasVexoMagic(std::span<const uint8_t> file) {
  return file.size() >= 4 && std::memcmp(file.data(), "VEXO", 4) == 0;
}

std::optional<VexoHeader> ReadVexoHeader(std::span<const uint8_t> file) {
  if (file.size() < kVexoHeaderSize) return std::nullopt;
  VexoHeader header;
  header.width = ReadLe16(file.data() + 4);
  header.height = ReadLe16(file.data() + 6);
  header.depthFlag = file[8];
  header.pathFlag = file[9];
  header.quality = file[10];
  header.codecVersion = file[11];
  return header;
}

std::optional<VexoFamily> FamilyOfVersion(uint8_t codecVersion) {
  if (codecVersion == kVexoFamily101Version) return VexoFamily::k101;
  if (codecVersion == kVexoFamily201Version) return VexoFamily::k201;
  return std::nullopt;
}

VexoPath SelectVexoPath(VexoFamily family, const VexoHeader& header) {
  if (header.pathFlag == 0) return VexoPath::kPredictive;
  return family == VexoFamily::k101 ? VexoPath::kTransform : VexoPath::kFast;
}

bool VexoSidesInRange(const VexoHeader& header) {
  return header.width >= 1 && header.width <= kVexoLargestSide && header.height >= 1 &&
         header.height <= kVexoLargestSide;
}

size_t VexoPixelCount(const VexoHeader& header) {
  if (header.SignedWidth() < 1 || header.SignedHeight() < 1) return 0;
  return static_cast<size_t>(header.SignedWidth()) * static_cast<size_t>(header.SignedHeight());
}

bool VexoFileCanHoldPicture(const VexoHeader& header, size_t fileSize) {
  const int32_t width = header.SignedWidth();
  const int32_t height = header.SignedHeight();
  if (width < 1 || height < 1) return true;
  const auto family = FamilyOfVersion(header.codecVersion).value_or(VexoFamily::k101);
  switch (SelectVexoPath(family, header)) {
    case VexoPath::kPredictive:
      return PredictiveFileCanHold(width, height, fileSize);
    case VexoPath::kTransform:
      return TransformFileCanHold(width, height, fileSize);
    case VexoPath::kFast:
      return FastFileCanHold(width, height, fileSize);
  }
  return true;
}

}  // namespace vexo
