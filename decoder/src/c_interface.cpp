// The C interface over the decode core.
#include <cstdint>
#include <limits>

#include "band/band_decode.h"
#include "plan.h"
#include "vexo.h"
#include "whole/whole_decode.h"

namespace vexo {
namespace {

static_assert(VEXO_OK == static_cast<int>(VexoStatus::kOk));
static_assert(VEXO_ERROR_BAD_MAGIC == static_cast<int>(VexoStatus::kBadMagic));
static_assert(VEXO_ERROR_BAD_VERSION == static_cast<int>(VexoStatus::kBadVersion));
static_assert(VEXO_ERROR_TRUNCATED == static_cast<int>(VexoStatus::kTruncated));
static_assert(VEXO_ERROR_MALFORMED == static_cast<int>(VexoStatus::kMalformed));
static_assert(VEXO_ERROR_WORKSPACE == static_cast<int>(VexoStatus::kWorkspace));

static_assert(VEXO_PATH_PREDICTIVE == static_cast<int>(VexoPath::kPredictive));
static_assert(VEXO_PATH_TRANSFORM == static_cast<int>(VexoPath::kTransform));
static_assert(VEXO_PATH_FAST == static_cast<int>(VexoPath::kFast));

// Widest stride accepted: every row offset stays a 32-bit pixel count.
constexpr size_t kLargestStride = std::numeric_limits<int32_t>::max();

// The plan of a header the caller holds as a vexo_info, or nothing when its
// version byte names no family.
bool PlanOf(const vexo_info& info, DecodePlan& plan) {
  VexoHeader header;
  header.width = static_cast<uint16_t>(info.width);
  header.height = static_cast<uint16_t>(info.height);
  header.pathFlag = static_cast<uint8_t>(info.path_flag);
  header.quality = static_cast<uint8_t>(info.quality);
  header.codecVersion = static_cast<uint8_t>(info.codec_version);
  const auto family = FamilyOfVersion(header.codecVersion);
  if (!family) return false;
  plan = {
      header, *family, SelectVexoPath(*family, header), header.SignedWidth(), header.SignedHeight(),
      {}};
  return true;
}

// The pixels an output of this stride spans, or false when the stride is
// unusable for the picture.
bool SpannedPixels(const DecodePlan& plan, size_t stride, size_t& spanned) {
  spanned = 0;
  if (!plan.HasPixels()) return true;
  const auto width = static_cast<size_t>(plan.width);
  const auto rowsAbove = static_cast<size_t>(plan.height - 1);
  if (stride < width || stride > kLargestStride) return false;
  if (rowsAbove > 0 && stride > (std::numeric_limits<size_t>::max() - width) / rowsAbove) {
    return false;
  }
  spanned = PicturePixelsSpanned(plan, stride);
  return true;
}

// The header of a file the caller passed, checked as vexo_read_info checks
// it.
VexoStatus ReadFilePlan(const uint8_t* file, size_t fileSize, DecodePlan& plan) {
  if (file == nullptr && fileSize > 0) return VexoStatus::kMalformed;
  return ReadPlan(file, fileSize, std::nullopt, plan);
}

int Decode(const uint8_t* file, size_t fileSize, uint16_t* pixels, size_t stride, unsigned flags,
           void* workspace, size_t workspaceSize, int32_t* result) {
  DecodePlan plan;
  if (const VexoStatus status = ReadFilePlan(file, fileSize, plan); status != VexoStatus::kOk) {
    return static_cast<int>(status);
  }
  if ((flags & ~VEXO_OUTPUT_BYTE_SWAPPED) != 0) return VEXO_ERROR_MALFORMED;
  size_t spanned = 0;
  if (!SpannedPixels(plan, stride, spanned)) return VEXO_ERROR_MALFORMED;
  if (pixels == nullptr && spanned > 0) return VEXO_ERROR_MALFORMED;
  if (workspace == nullptr) workspaceSize = 0;
  const PictureOutput output{std::span(pixels, spanned), static_cast<ptrdiff_t>(stride),
                             (flags & VEXO_OUTPUT_BYTE_SWAPPED) != 0};
  const VexoDecodeResult decoded =
      DecodeWholePicture<ActivePolicy>(plan, std::span(file, fileSize), output,
                                       std::span(static_cast<uint8_t*>(workspace), workspaceSize));
  if (decoded.status == VexoStatus::kOk && result != nullptr) *result = decoded.result;
  return static_cast<int>(decoded.status);
}

int StartBands(void* workspace, size_t workspaceSize, const uint8_t* file, size_t fileSize,
               unsigned flags) {
  DecodePlan plan;
  VexoStatus status = ReadFilePlan(file, fileSize, plan);
  if (status == VexoStatus::kOk && (flags & ~VEXO_OUTPUT_BYTE_SWAPPED) != 0) {
    status = VexoStatus::kMalformed;
  }
  if (status != VexoStatus::kOk) {
    FailBands(workspace, workspaceSize, status);
    return static_cast<int>(status);
  }
  return static_cast<int>(BeginBands(workspace, workspaceSize, plan, file, fileSize,
                                     (flags & VEXO_OUTPUT_BYTE_SWAPPED) != 0));
}

static_assert(VEXO_ERROR_READ == static_cast<int>(VexoStatus::kRead));
static_assert(kLeastInputBytes == 64);

#define VEXO_STRINGIFY_(x) #x
#define VEXO_STRINGIFY(x) VEXO_STRINGIFY_(x)

}  // namespace
}  // namespace vexo

extern "C" {

int vexo_read_info(const uint8_t* file, size_t file_size, vexo_info* info) {
  if (info == nullptr) return VEXO_ERROR_MALFORMED;
  vexo::DecodePlan plan;
  const vexo::VexoStatus status = vexo::ReadFilePlan(file, file_size, plan);
  if (status != vexo::VexoStatus::kOk) return static_cast<int>(status);
  info->width = plan.width;
  info->height = plan.height;
  info->depth_flag = plan.header.depthFlag;
  info->path_flag = plan.header.pathFlag;
  info->quality = plan.header.quality;
  info->codec_version = plan.header.codecVersion;
  info->family = static_cast<int>(plan.family);
  info->path = static_cast<int>(plan.path);
  return VEXO_OK;
}

size_t vexo_workspace_size(const vexo_info* info) {
  vexo::DecodePlan plan;
  if (info == nullptr || !vexo::PlanOf(*info, plan)) return 0;
  return vexo::WholeWorkspaceBytes(plan);
}

int vexo_decode(const uint8_t* file, size_t file_size, uint16_t* pixels, size_t stride,
                unsigned flags, void* workspace, size_t workspace_size, int32_t* result) {
  return vexo::Decode(file, file_size, pixels, stride, flags, workspace, workspace_size, result);
}

size_t vexo_band_workspace_size(const vexo_info* info) {
  vexo::DecodePlan plan{};  // without a family: the state alone
  if (info != nullptr) vexo::PlanOf(*info, plan);
  return vexo::BandWorkspaceBytes(plan);
}

int vexo_band_begin(void* workspace, size_t workspace_size, const uint8_t* file, size_t file_size,
                    unsigned flags) {
  return vexo::StartBands(workspace, workspace_size, file, file_size, flags);
}

size_t vexo_band_reader_workspace_size(const vexo_info* info, size_t input_bytes) {
  vexo::DecodePlan plan{};  // without a family: the state alone
  if (info != nullptr) vexo::PlanOf(*info, plan);
  return vexo::BandReaderWorkspaceBytes(plan, input_bytes);
}

int vexo_band_begin_reader(void* workspace, size_t workspace_size, const vexo_reader* reader,
                           size_t input_bytes, unsigned flags) {
  if (reader == nullptr) {
    vexo::FailBands(workspace, workspace_size, vexo::VexoStatus::kMalformed);
    return VEXO_ERROR_MALFORMED;
  }
  const vexo::ReaderCall call{reader->read, reader->context, reader->file_size};
  return static_cast<int>(vexo::BeginBandsThroughReader(
      workspace, workspace_size, call, input_bytes, flags, VEXO_OUTPUT_BYTE_SWAPPED));
}

int vexo_band_next(void* workspace, uint16_t* rows, size_t stride, int* first_row) {
  return vexo::NextBand(workspace, rows, stride, first_row);
}

const char* vexo_version(void) {
  return VEXO_STRINGIFY(VEXO_VERSION_MAJOR) "." VEXO_STRINGIFY(
      VEXO_VERSION_MINOR) "." VEXO_STRINGIFY(VEXO_VERSION_PATCH);
}

}  // extern "C"
