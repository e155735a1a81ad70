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

void CheckRoundTrip(const RgbPicture& picture, const EncodeOptions& options) {
  if (!EncodeOptionsProblem(picture, options).empty()) return;
  const std::vector<uint8_t> file = EncodeVexo(picture, options);
  std::vector<uint16_t> decoded(static_cast<size_t>(picture.width) * picture.height);
  if (VexoDecode(options.family, file, decoded).status != VexoStatus::kOk) __builtin_trap();
  if (IsLosslessEncoding(options) && decoded != QuantiseToRgb565(picture)) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const PictureOrError read = DecodePicture(std::span(data, size), "fuzz");
  const auto* picture = std::get_if<RgbPicture>(&read);
  if (!picture || int64_t{picture->width} * picture->height > kLargestEncodedPixels) return 0;
  CheckRoundTrip(*picture, {VexoPath::kPredictive, VexoFamily::k101, size % 3 == 0 ? 0 : 2});
  CheckRoundTrip(*picture, {VexoPath::kFast, VexoFamily::k201, static_cast<int>(size % 3)});
  CheckRoundTrip(*picture, {VexoPath::kTransform, VexoFamily::k101, static_cast<int>(size % 52)});
  return 0;
}
