#include "thumbnail.h"

#include <algorithm>
#include <filesystem>
#include <new>
#include <vector>

#include "area_scaling.h"
#include "file_decoder.h"
#include "file_io/whole_file.h"
#include "pixel_conversion.h"
#include "png_file.h"

namespace vexo::thumbnailer {
namespace {

int32_t ScaledSide(int32_t side, int32_t longest, int32_t size) {
  const int64_t scaled = (2 * int64_t{side} * size + longest) / (2 * int64_t{longest});
  return static_cast<int32_t>(std::max<int64_t>(scaled, 1));
}

std::string WriteScaled(const vexo::FileDecoder& decoder, const std::string& output, int32_t size) {
  const PictureSize from{decoder.ImageWidth(), decoder.ImageHeight()};
  const PictureSize to = ThumbnailSize(from, size);
  std::vector<uint8_t> rgb(decoder.Image565().size() * 3);
  vexo::ExpandRgb565(decoder.Image565(), rgb);
  if (to != from) {
    rgb = ShrinkByAreaAveraging(rgb, from.width, from.height, to.width, to.height);
  }
  const vexo::Result<std::vector<uint8_t>> png = vexo::EncodePng(to.width, to.height, rgb);
  if (!png) return "Cannot write " + output + ": " + png.error().message;
  const vexo::Result<void> written = file_io::WriteWholeFile(output, *png);
  return written ? std::string() : written.error().message;
}

bool AreTheSameFile(const std::string& a, const std::string& b) {
  std::error_code error;
  return std::filesystem::equivalent(a, b, error);
}

}  // namespace

PictureSize ThumbnailSize(PictureSize picture, int32_t size) {
  const int32_t longest = std::max(picture.width, picture.height);
  if (longest <= size) return picture;
  return {ScaledSide(picture.width, longest, size), ScaledSide(picture.height, longest, size)};
}

std::string WriteThumbnail(const std::string& input, const std::string& output, int32_t size) {
  // A mistyped command line must not replace the picture by its thumbnail.
  if (AreTheSameFile(input, output)) {
    return "Cannot write " + output + ": it is the picture itself";
  }
  vexo::FileDecoder decoder;
  const vexo::FileDecodeOutcome outcome = decoder.Decode(input);
  if (outcome.status != vexo::FileDecodeStatus::kOk) return vexo::FailureMessage(input, outcome);
  try {
    return WriteScaled(decoder, output, size);
  } catch (const std::bad_alloc&) {
    return input + ": " + std::string(vexo::FailureText(vexo::FileDecodeStatus::kOutOfMemory));
  }
}

}  // namespace vexo::thumbnailer
