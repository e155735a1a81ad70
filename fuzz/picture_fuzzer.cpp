// Fuzz target for the picture readers and, through them, the encoder: any
// picture that reads must encode on every path it fits and decode again,
// exactly where the path is lossless.
#include <cstddef>
#include <cstdint>
#include <span>

#include "picture_reader.h"
#include "vexo_decoder.h"

namespace {

// Small pictures keep each run fast; the readers see every size.
constexpr int64_t kLargestEncodedPixels = 64 * 64;

void CheckRoundTrip(const vexo::RgbPicture& picture, const vexo::EncodeOptions& options) {
  const vexo::Result<std::vector<uint8_t>> file = vexo::EncodeVexo(picture, options);
  if (!file) return;
  std::vector<uint16_t> decoded(static_cast<size_t>(picture.width) * picture.height);
  if (vexo::VexoDecode(options.family, *file, decoded).status != vexo::VexoStatus::kOk)
    __builtin_trap();
  if (vexo::IsLosslessEncoding(options) && decoded != vexo::QuantiseToRgb565(picture))
    __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const vexo::Result<vexo::RgbPicture> read = vexo::DecodePicture(std::span(data, size), "fuzz");
  if (!read || int64_t{read->width} * read->height > kLargestEncodedPixels) return 0;
  CheckRoundTrip(*read,
                 {vexo::VexoPath::kPredictive, vexo::VexoFamily::k101, size % 3 == 0 ? 0 : 2});
  CheckRoundTrip(*read,
                 {vexo::VexoPath::kFast, vexo::VexoFamily::k201, static_cast<int>(size % 3)});
  CheckRoundTrip(*read,
                 {vexo::VexoPath::kTransform, vexo::VexoFamily::k101, static_cast<int>(size % 52)});
  return 0;
}
