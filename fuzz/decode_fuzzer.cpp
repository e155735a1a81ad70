// Fuzz target for the decode entries: the first byte picks the family and
// how large the output buffer is, the rest is the file.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "vexo_decoder.h"

namespace {

// Pictures larger than this are refused before allocating, as the file
// decode does, so the fuzzer spends its time in the decoders.
constexpr size_t kMaximumPixels = 1u << 22;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const vexo::VexoFamily family = (data[0] & 1) ? vexo::VexoFamily::k201 : vexo::VexoFamily::k101;
  const bool shortOutput = (data[0] & 2) != 0;
  const std::span<const uint8_t> file(data + 1, size - 1);

  size_t pixels = 0;
  if (const auto header = vexo::ReadVexoHeader(file)) {
    if (!vexo::VexoFileCanHoldPicture(*header, file.size())) return 0;
    pixels = vexo::VexoPixelCount(*header);
  }
  if (pixels > kMaximumPixels) return 0;
  if (shortOutput && pixels > 0) --pixels;
  std::vector<uint16_t> image(pixels);
  const vexo::VexoDecodeResult result = vexo::VexoDecode(family, file, image);
  if (shortOutput && result.status == vexo::VexoStatus::kOk && !image.empty()) __builtin_trap();
  return 0;
}
