#include "whole/whole_decode.h"

#include <algorithm>

#include "fast/fast_rows.h"
#include "predictive/predictive_rows.h"
#include "transform/transform_rows.h"

namespace vexo {
namespace {

// The block rows of the picture, each straight into its place; the row
// above a block row is the picture's own.
template <class Rows>
VexoStatus DecodeBlockRows(Rows& rows, const DecodePlan& plan, const PictureOutput& output) {
  const ptrdiff_t stride = output.stride;
  uint16_t* const pixels = output.pixels.data();
  const WholePicture picture{pixels, stride, plan.height};
  for (int32_t y = 0; y < plan.height; y += kBlockRowHeight) {
    uint16_t* const first = pixels + y * stride;
    const BlockRowTarget target{first,
                                stride,
                                std::min(kBlockRowHeight, plan.height - y),
                                y,
                                y > 0 ? first - stride : nullptr,
                                y > 0 ? first[-2 * stride + plan.width - 1] : uint16_t{0},
                                stride == plan.width,
                                &picture};
    if (const VexoStatus status = rows.DecodeBlockRow(target); status != VexoStatus::kOk) {
      return status;
    }
    if (rows.PictureDone()) break;
  }
  return VexoStatus::kOk;
}

// The predictive and fast paths predict from the pixels they have stored, so
// they store them as they are and the bytes are swapped once they are done;
// the transform path swaps them as it packs.
void SwapPixelBytes(const DecodePlan& plan, const PictureOutput& output) {
  for (int32_t y = 0; y < plan.height; ++y) {
    uint16_t* row = output.pixels.data() + y * output.stride;
    for (int32_t x = 0; x < plan.width; ++x) {
      row[x] = static_cast<uint16_t>(row[x] << 8 | row[x] >> 8);
    }
  }
}

template <class Rows>
VexoDecodeResult DecodeWith(Rows rows, const DecodePlan& plan, const PictureOutput& output,
                            bool swapsItself) {
  if (plan.HasPixels()) {
    if (const VexoStatus status = DecodeBlockRows(rows, plan, output); status != VexoStatus::kOk) {
      return {status, -1};
    }
    if (output.byteSwapped && !swapsItself) SwapPixelBytes(plan, output);
  }
  return {VexoStatus::kOk, rows.Result()};
}

}  // namespace

size_t PicturePixelsSpanned(const DecodePlan& plan, size_t stride) {
  if (!plan.HasPixels()) return 0;
  return static_cast<size_t>(plan.height - 1) * stride + static_cast<size_t>(plan.width);
}

size_t WholeWorkspaceBytes(const DecodePlan& plan) {
  if (!plan.HasPixels() || plan.path != VexoPath::kTransform) return 0;
  return TransformHistoryBytes(plan.width);
}

template <class Policy>
VexoDecodeResult DecodeWholePicture(const DecodePlan& plan, std::span<const uint8_t> file,
                                    const PictureOutput& output, std::span<uint8_t> workspace) {
  if (const VexoStatus status = CheckPlanQuality(plan); status != VexoStatus::kOk) {
    return {status, -1};
  }
  if (plan.HasPixels() && output.stride < plan.width) return {VexoStatus::kMalformed, -1};
  const size_t spanned = PicturePixelsSpanned(plan, static_cast<size_t>(output.stride));
  if (output.pixels.size() < spanned) return {VexoStatus::kMalformed, -1};
  // Spares a tiny file that announces a huge picture everything else.
  if (!FileCanHoldPlan(plan, file.size())) return {VexoStatus::kTruncated, -1};
  if (workspace.size() < WholeWorkspaceBytes(plan)) return {VexoStatus::kWorkspace, -1};

  DecodePlan read = plan;
  ReadPathFields(read, file.data() + kVexoHeaderSize);
  const StreamSources sources{file.data(), file.size(), {}};
  switch (plan.path) {
    case VexoPath::kPredictive:
      return DecodeWith(PredictiveRows<Policy>(read, sources), plan, output, false);
    case VexoPath::kFast:
      return DecodeWith(FastRows<Policy>(read, sources), plan, output, false);
    case VexoPath::kTransform:
      return DecodeWith(TransformRows<Policy>(read, sources, workspace.data(), output.byteSwapped),
                        plan, output, true);
  }
  return {VexoStatus::kMalformed, -1};
}

#if VEXO_BUILDS_SPEED_POLICY
template VexoDecodeResult DecodeWholePicture<SpeedPolicy>(const DecodePlan&,
                                                          std::span<const uint8_t>,
                                                          const PictureOutput&, std::span<uint8_t>);
#endif
template VexoDecodeResult DecodeWholePicture<SmallPolicy>(const DecodePlan&,
                                                          std::span<const uint8_t>,
                                                          const PictureOutput&, std::span<uint8_t>);

VexoDecodeResult DecodeVexoFile(std::optional<VexoFamily> family, std::span<const uint8_t> file,
                                const PictureOutput& output, std::span<uint8_t> workspace) {
  DecodePlan plan;
  if (const VexoStatus status = ReadPlan(file.data(), file.size(), family, plan);
      status != VexoStatus::kOk) {
    return {status, -1};
  }
  return DecodeWholePicture<ActivePolicy>(plan, file, output, workspace);
}

}  // namespace vexo
