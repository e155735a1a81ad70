#include "plan.h"

#include <cstring>

#include "common/little_endian.h"
#include "fast/fast_format.h"
#include "predictive/predictive_format.h"
#include "transform/quality_tables.h"
#include "transform/transform_format.h"

namespace vexo {
namespace {

VexoHeader HeaderAt(const uint8_t* head) {
  VexoHeader header;
  header.width = ReadLe16(head + 4);
  header.height = ReadLe16(head + 6);
  header.depthFlag = head[8];
  header.pathFlag = head[9];
  header.quality = head[10];
  header.codecVersion = head[11];
  return header;
}

}  // namespace

VexoStatus ReadPlan(const uint8_t* head, uint64_t fileSize, std::optional<VexoFamily> family,
                    DecodePlan& plan) {
  if (fileSize < 4 || std::memcmp(head, "VEXO", 4) != 0) return VexoStatus::kBadMagic;
  if (fileSize < kVexoHeaderSize) return VexoStatus::kTruncated;
  const VexoHeader header = HeaderAt(head);
  const auto named = FamilyOfVersion(header.codecVersion);
  if (!named || (family && *family != *named)) return VexoStatus::kBadVersion;
  plan.header = header;
  plan.family = *named;
  plan.path = SelectVexoPath(*named, header);
  plan.width = header.SignedWidth();
  plan.height = header.SignedHeight();
  return VexoStatus::kOk;
}

VexoStatus CheckPlanQuality(const DecodePlan& plan) {
  if (plan.path == VexoPath::kTransform && !TransformQualityFor(plan.header.quality)) {
    return VexoStatus::kMalformed;
  }
  return VexoStatus::kOk;
}

bool FileCanHoldPlan(const DecodePlan& plan, uint64_t fileSize) {
  const auto size = static_cast<size_t>(fileSize);
  switch (plan.path) {
    case VexoPath::kPredictive:
      return PredictiveFileCanHold(plan.width, plan.height, size);
    case VexoPath::kTransform:
      return TransformFileCanHold(plan.width, plan.height, size);
    case VexoPath::kFast:
      return FastFileCanHold(plan.width, plan.height, size);
  }
  return false;
}

size_t PathHeaderBytes(const DecodePlan& plan) {
  switch (plan.path) {
    case VexoPath::kPredictive:
      return kPredictiveStreamStart - kVexoHeaderSize;
    case VexoPath::kFast:
      return kFastBlockCodeStart - kVexoHeaderSize;
    case VexoPath::kTransform:
      break;
  }
  return 0;
}

void ReadPathFields(DecodePlan& plan, const uint8_t* afterHeader) {
  const size_t bytes = PathHeaderBytes(plan);
  for (size_t field = 0; field < 2; ++field) {
    plan.pathFields[field] = 4 * field < bytes ? ReadLe32Signed(afterHeader + 4 * field) : 0;
  }
}

// The public header helpers, on the same reading.

bool HasVexoMagic(std::span<const uint8_t> file) {
  return file.size() >= 4 && std::memcmp(file.data(), "VEXO", 4) == 0;
}

std::optional<VexoHeader> ReadVexoHeader(std::span<const uint8_t> file) {
  if (file.size() < kVexoHeaderSize) return std::nullopt;
  return HeaderAt(file.data());
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
  if (header.SignedWidth() < 1 || header.SignedHeight() < 1) return true;
  DecodePlan plan{header,
                  FamilyOfVersion(header.codecVersion).value_or(VexoFamily::k101),
                  VexoPath::kPredictive,
                  header.SignedWidth(),
                  header.SignedHeight(),
                  {}};
  plan.path = SelectVexoPath(plan.family, header);
  return FileCanHoldPlan(plan, fileSize);
}

VexoStatus VexoCheckHeader(VexoFamily family, std::span<const uint8_t> file) {
  DecodePlan plan;
  const VexoStatus status = ReadPlan(file.data(), file.size(), family, plan);
  return status != VexoStatus::kOk ? status : CheckPlanQuality(plan);
}

}  // namespace vexo
