// The C++ entries: VexoDecode and its context, which own the decode's
// working memory. They run the same core as the C interface.
#include "vexo_decoder.h"

#include "whole/whole_decode.h"

namespace vexo {

VexoDecodeResult VexoDecode(VexoFamily family, std::span<const uint8_t> file,
                            std::span<uint16_t> image565) {
  VexoDecodeContext context;
  return context.Decode(family, file, image565);
}

VexoDecodeResult VexoDecodeContext::Decode(VexoFamily family, std::span<const uint8_t> file,
                                           std::span<uint16_t> image565) {
  DecodePlan plan;
  if (const VexoStatus status = ReadPlan(file.data(), file.size(), family, plan);
      status != VexoStatus::kOk) {
    return {status, -1};
  }
  // Only a file that can be decoded gets memory: the core reports the rest.
  const size_t needed = FileCanHoldPlan(plan, file.size()) ? WholeWorkspaceBytes(plan) : 0;
  if (needed > keptBytes_) {
    kept_.reset();
    keptBytes_ = 0;
    kept_ = std::make_unique_for_overwrite<uint8_t[]>(needed);
    keptBytes_ = needed;
  }
  const PictureOutput output{image565, plan.width, false};
  return DecodeWholePicture<ActivePolicy>(plan, file, output, std::span(kept_.get(), keptBytes_));
}

}  // namespace vexo
