// The C interface over the decode core.
#include <cstdint>
#include <limits>

#include "decode_core.h"
#include "vexo.h"

namespace vexo {
namespace {

static_assert(VEXO_OK == static_cast<int>(VexoStatus::kOk));
static_assert(VEXO_ERROR_BAD_MAGIC == static_cast<int>(VexoStatus::kBadMagic));
static_assert(VEXO_ERROR_BAD_VERSION == static_cast<int>(VexoStatus::kBadVersion));
static_assert(VEXO_ERROR_TRUNCATED == static_cast<int>(VexoStatus::kTruncated));
static_assert(VEXO_ERROR_MALFORMED == static_cast<int>(VexoStatus::kMalformed));
// The core's "out of memory" is a workspace smaller than the decode needs.
static_assert(VEXO_ERROR_WORKSPACE == static_cast<int>(VexoStatus::kOutOfMemory));

static_assert(VEXO_PATH_PREDICTIVE == static_cast<int>(VexoPath::kPredictive));
static_assert(VEXO_PATH_TRANSFORM == static_cast<int>(VexoPath::kTransform));
static_assert(VEXO_PATH_FAST == static_cast<int>(VexoPath::kFast));

// Widest stride accepted: every row offset stays a 32-bit pixel count.
constexpr size_t kLargestStride = std::numeric_limits<int32_t>::max();

// What vexo_read_info checks, and the family the version byte names.
VexoStatus ReadInfo(std::span<const uint8_t> file, VexoHeader& header, VexoFamily& family) {
  if (!HasVexoMagic(file)) return VexoStatus::kBadMagic;
  const auto read = ReadVexoHeader(file);
  if (!read) return VexoStatus::kTruncated;
  const auto named = FamilyOfVersion(read->codecVersion);
  if (!named) return VexoStatus::kBadVersion;
  header = *read;
  family = *named;
  return VexoStatus::kOk;
}

VexoHeader HeaderOf(const vexo_info& info) {
  VexoHeader header;
  header.width = static_cast<uint16_t>(info.width);
  header.height = static_cast<uint16_t>(info.height);
  header.pathFlag = static_cast<uint8_t>(info.path_flag);
  header.quality = static_cast<uint8_t>(info.quality);
  header.codecVersion = static_cast<uint8_t>(info.codec_version);
  return header;
}

// The pixels an output of this stride spans, or nothing when the stride is
// unusable for the picture.
bool SpannedPixels(const VexoHeader& header, size_t stride, size_t& spanned) {
  spanned = 0;
  if (VexoPixelCount(header) == 0) return true;
  const auto width = static_cast<size_t>(header.SignedWidth());
  const auto rowsAbove = static_cast<size_t>(header.SignedHeight() - 1);
  if (stride < width || stride > kLargestStride) return false;
  if (rowsAbove > 0 && stride > (std::numeric_limits<size_t>::max() - width) / rowsAbove) {
    return false;
  }
  spanned = PicturePixelsSpanned(header, stride);
  return true;
}

int Decode(const uint8_t* file, size_t fileSize, uint16_t* pixels, size_t stride, unsigned flags,
           void* workspace, size_t workspaceSize, int32_t* result) {
  if (file == nullptr && fileSize > 0) return VEXO_ERROR_MALFORMED;
  const std::span<const uint8_t> bytes(file, fileSize);
  VexoHeader header;
  VexoFamily family;
  if (const VexoStatus status = ReadInfo(bytes, header, family); status != VexoStatus::kOk) {
    return static_cast<int>(status);
  }
  if ((flags & ~VEXO_OUTPUT_BYTE_SWAPPED) != 0) return VEXO_ERROR_MALFORMED;
  size_t spanned = 0;
  if (!SpannedPixels(header, stride, spanned)) return VEXO_ERROR_MALFORMED;
  if (pixels == nullptr && spanned > 0) return VEXO_ERROR_MALFORMED;
  if (workspace == nullptr) workspaceSize = 0;
  const PictureOutput output{std::span(pixels, spanned), static_cast<ptrdiff_t>(stride),
                             (flags & VEXO_OUTPUT_BYTE_SWAPPED) != 0};
  const VexoDecodeResult decoded = DecodeVexoFile(
      family, bytes, output, std::span(static_cast<uint8_t*>(workspace), workspaceSize));
  if (decoded.status == VexoStatus::kOk && result != nullptr) *result = decoded.result;
  return static_cast<int>(decoded.status);
}

#define VEXO_STRINGIFY_(x) #x
#define VEXO_STRINGIFY(x) VEXO_STRINGIFY_(x)

}  // namespace
}  // namespace vexo

extern "C" {

int vexo_read_info(const uint8_t* file, size_t file_size, vexo_info* info) {
  if (info == nullptr || (file == nullptr && file_size > 0)) return VEXO_ERROR_MALFORMED;
  vexo::VexoHeader header;
  vexo::VexoFamily family;
  const vexo::VexoStatus status = vexo::ReadInfo(std::span(file, file_size), header, family);
  if (status != vexo::VexoStatus::kOk) return static_cast<int>(status);
  info->width = header.SignedWidth();
  info->height = header.SignedHeight();
  info->depth_flag = header.depthFlag;
  info->path_flag = header.pathFlag;
  info->quality = header.quality;
  info->codec_version = header.codecVersion;
  info->family = static_cast<int>(family);
  info->path = static_cast<int>(vexo::SelectVexoPath(family, header));
  return VEXO_OK;
}

size_t vexo_workspace_size(const vexo_info* info) {
  if (info == nullptr) return 0;
  const auto family = vexo::FamilyOfVersion(static_cast<uint8_t>(info->codec_version));
  if (!family) return 0;
  return vexo::PathWorkspaceBytes(*family, vexo::HeaderOf(*info));
}

int vexo_decode(const uint8_t* file, size_t file_size, uint16_t* pixels, size_t stride,
                unsigned flags, void* workspace, size_t workspace_size, int32_t* result) {
  return vexo::Decode(file, file_size, pixels, stride, flags, workspace, workspace_size, result);
}

const char* vexo_status_text(int status) {
  switch (status) {
    case VEXO_OK:
      return "ok";
    case VEXO_ERROR_BAD_MAGIC:
      return "not a VEXO file";
    case VEXO_ERROR_BAD_VERSION:
      return "unknown codec version";
    case VEXO_ERROR_TRUNCATED:
      return "the file is truncated";
    case VEXO_ERROR_MALFORMED:
      return "malformed file or output";
    case VEXO_ERROR_WORKSPACE:
      return "the workspace is missing or too small";
    default:
      return "unknown status";
  }
}

const char* vexo_version(void) {
  return VEXO_STRINGIFY(VEXO_VERSION_MAJOR) "." VEXO_STRINGIFY(
      VEXO_VERSION_MINOR) "." VEXO_STRINGIFY(VEXO_VERSION_PATCH);
}

}  // extern "C"
