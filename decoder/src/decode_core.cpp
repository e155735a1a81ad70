#include "decode_core.h"

#include "common/path_input.h"
#include "fast/fast_decoder.h"
#include "predictive/predictive_decoder.h"
#include "transform/quality_tables.h"
#include "transform/transform_decoder.h"
#include "transform/transform_format.h"

namespace vexo {
namespace {

VexoDecodeResult RunPath(VexoPath path, const PathInput& input) {
  switch (path) {
    case VexoPath::kPredictive:
      return DecodePredictive(input);
    case VexoPath::kTransform:
      return DecodeTransform(input);
    case VexoPath::kFast:
      return DecodeFast(input);
  }
  return {VexoStatus::kMalformed, -1};
}

// The predictive and fast paths predict from the pixels they have stored, so
// they store them as they are and the bytes are swapped once they are done;
// the transform path swaps them as it packs.
bool PathSwapsItself(VexoPath path) {
  return path == VexoPath::kTransform;
}

void SwapPixelBytes(const PathInput& input) {
  for (int32_t y = 0; y < input.height; ++y) {
    for (int32_t x = 0; x < input.width; ++x) {
      uint16_t& pixel = PixelAt(input, x, y);
      pixel = static_cast<uint16_t>(pixel << 8 | pixel >> 8);
    }
  }
}

}  // namespace

size_t PicturePixelsSpanned(const VexoHeader& header, size_t stride) {
  const size_t pixels = VexoPixelCount(header);
  if (pixels == 0) return 0;
  return static_cast<size_t>(header.SignedHeight() - 1) * stride +
         static_cast<size_t>(header.SignedWidth());
}

size_t PathWorkspaceBytes(VexoFamily family, const VexoHeader& header) {
  if (VexoPixelCount(header) == 0) return 0;
  if (SelectVexoPath(family, header) != VexoPath::kTransform) return 0;
  return TransformWorkspaceBytes(header.SignedWidth());
}

VexoStatus VexoCheckHeader(VexoFamily family, std::span<const uint8_t> file) {
  if (!HasVexoMagic(file)) return VexoStatus::kBadMagic;
  const auto header = ReadVexoHeader(file);
  if (!header) return VexoStatus::kTruncated;
  if (header->codecVersion != static_cast<uint8_t>(family)) return VexoStatus::kBadVersion;
  if (SelectVexoPath(family, *header) == VexoPath::kTransform &&
      !TransformQualityFor(header->quality)) {
    return VexoStatus::kMalformed;
  }
  return VexoStatus::kOk;
}

VexoDecodeResult DecodeVexoFile(VexoFamily family, std::span<const uint8_t> file,
                                const PictureOutput& output, std::span<uint8_t> workspace) {
  if (const VexoStatus status = VexoCheckHeader(family, file); status != VexoStatus::kOk) {
    return {status, -1};
  }
  const VexoHeader header = *ReadVexoHeader(file);
  const bool hasPixels = VexoPixelCount(header) > 0;
  if (hasPixels && output.stride < header.SignedWidth()) return {VexoStatus::kMalformed, -1};
  const size_t spanned = PicturePixelsSpanned(header, static_cast<size_t>(output.stride));
  if (output.pixels.size() < spanned) return {VexoStatus::kMalformed, -1};
  // Spares a tiny file that announces a huge picture everything else.
  if (!VexoFileCanHoldPicture(header, file.size())) return {VexoStatus::kTruncated, -1};
  if (workspace.size() < PathWorkspaceBytes(family, header)) return {VexoStatus::kOutOfMemory, -1};

  const VexoPath path = SelectVexoPath(family, header);
  const PathInput input{file,
                        header.SignedWidth(),
                        header.SignedHeight(),
                        header.quality,
                        output.pixels.first(spanned),
                        output.stride,
                        output.byteSwapped,
                        workspace};
  const VexoDecodeResult decoded = RunPath(path, input);
  if (output.byteSwapped && !PathSwapsItself(path)) SwapPixelBytes(input);
  return decoded;
}

}  // namespace vexo
