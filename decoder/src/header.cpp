#include <cstring>

#include "vexo_header.h"

namespace {

constexpr size_t kPredictiveStreamStart = 16;
constexpr size_t kTransformStreamStart = 16;
constexpr size_t kFastStreamStart = 20;

// Least number of bits each path spends on one block (or block position).
constexpr uint64_t kPredictiveBitsPerBlock = 2;
constexpr uint64_t kTransformBitsPerBlock = 3;
constexpr uint64_t kFastBitsPerBlock = 5;

uint64_t CeilDiv4(int32_t value) {
  return (static_cast<uint64_t>(value) + 3) / 4;
}

bool StreamCanHold(uint64_t blocks, uint64_t bitsPerBlock, size_t streamStart, size_t fileSize) {
  const uint64_t neededBytes = (blocks * bitsPerBlock + 7) / 8;
  return fileSize >= streamStart && fileSize - streamStart >= neededBytes;
}

}  // namespace

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
      return StreamCanHold(CeilDiv4(width) * CeilDiv4(height), kPredictiveBitsPerBlock,
                           kPredictiveStreamStart, fileSize);
    case VexoPath::kTransform:
      return StreamCanHold(CeilDiv4(width) * CeilDiv4(height), kTransformBitsPerBlock,
                           kTransformStreamStart, fileSize);
    case VexoPath::kFast:
      return StreamCanHold(static_cast<uint64_t>(width / 4) * static_cast<uint64_t>(height / 4),
                           kFastBitsPerBlock, kFastStreamStart, fileSize);
  }
  return true;
}
