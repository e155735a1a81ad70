// Request checks, quantisation to 5-6-5 and the choice of path encoder.
#include "vexo_encoder.h"

#include <algorithm>

#include "dither.h"
#include "fast/fast_encoder.h"
#include "predictive/predictive_encoder.h"
#include "transform/transform_encoder.h"

namespace vexo {

namespace {

VexoHeader HeaderFor(const RgbPicture& picture, const EncodeOptions& options) {
  VexoHeader header;
  header.width = static_cast<uint16_t>(picture.width);
  header.height = static_cast<uint16_t>(picture.height);
  header.depthFlag = picture.from24BitSource ? 1 : 0;
  header.pathFlag = options.path == VexoPath::kPredictive ? 0 : 1;
  header.quality = static_cast<uint8_t>(options.quality);
  header.codecVersion = static_cast<uint8_t>(options.family);
  return header;
}

}  // namespace

int HighestQuality(VexoPath path) {
  return path == VexoPath::kTransform ? 51 : 2;
}

std::string_view VexoPathName(VexoPath path) {
  switch (path) {
    case VexoPath::kPredictive:
      return "predictive";
    case VexoPath::kTransform:
      return "transform";
    case VexoPath::kFast:
      return "fast";
  }
  return "unknown";
}

std::string EncodingName(const EncodeOptions& options) {
  const std::string quality = std::to_string(options.quality);
  switch (options.path) {
    case VexoPath::kPredictive:
      return options.quality == 0 ? "predictive lossless" : "predictive quality " + quality;
    case VexoPath::kFast:
      return options.quality == 0 ? "fast lossless" : "fast quality " + quality + ", lossless";
    case VexoPath::kTransform:
      return "transform quality " + quality;
  }
  return "?";
}

std::string EncodingNameWithFamily(const EncodeOptions& options) {
  return EncodingName(options) + " (family " + std::to_string(static_cast<int>(options.family)) +
         ")";
}

uint16_t NearestRgb565(uint8_t red, uint8_t green, uint8_t blue) {
  const int r = std::min(31, (red + 4) >> 3);
  const int g = std::min(63, (green + 2) >> 2);
  const int b = std::min(31, (blue + 4) >> 3);
  return static_cast<uint16_t>((r << 11) | (g << 5) | b);
}

std::vector<uint16_t> QuantiseToRgb565(const RgbPicture& picture, Dither dither) {
  if (dither == Dither::kOrdered) return OrderedDither(picture);
  if (dither == Dither::kFloydSteinberg) return FloydSteinbergDither(picture);
  std::vector<uint16_t> pixels(picture.rgb.size() / 3);
  for (size_t i = 0; i < pixels.size(); ++i) {
    pixels[i] = NearestRgb565(picture.rgb[3 * i], picture.rgb[3 * i + 1], picture.rgb[3 * i + 2]);
  }
  return pixels;
}

Result<void> CheckEncodeOptions(const RgbPicture& picture, const EncodeOptions& options) {
  const auto refuse = [](std::string message) {
    return Error{ErrorCode::kInvalidRequest, std::move(message)};
  };
  if (picture.width < 1 || picture.height < 1) return refuse("the picture is empty");
  if (picture.width > kVexoLargestSide || picture.height > kVexoLargestSide) {
    return Error{ErrorCode::kTooLarge, "the picture is " + std::to_string(picture.width) + " x " +
                                           std::to_string(picture.height) +
                                           "; VEXO files hold at most 32767 x 32767"};
  }
  if (picture.rgb.size() != 3 * static_cast<size_t>(picture.width) * picture.height) {
    return refuse("the picture's pixel data does not match its size");
  }
  if (options.path == VexoPath::kTransform && options.family != VexoFamily::k101) {
    return refuse("the transform path exists only in family 101");
  }
  if (options.path == VexoPath::kFast && options.family != VexoFamily::k201) {
    return refuse("the fast path exists only in family 201");
  }
  if (options.path == VexoPath::kTransform && options.dither != Dither::kNone) {
    return refuse(
        "the transform path codes 8-bit planes, which its decoder reduces to 5-6-5; "
        "dithering applies to the predictive and fast paths only");
  }
  if (options.effort < kLowestEffort || options.effort > kHighestEffort) {
    return refuse("the effort must be " + std::to_string(kLowestEffort) + ".." +
                  std::to_string(kHighestEffort));
  }
  const int highest = HighestQuality(options.path);
  if (options.quality < 0 || options.quality > highest) {
    return refuse("quality " + std::to_string(options.quality) + " is outside 0.." +
                  std::to_string(highest) + " on the " + std::string(VexoPathName(options.path)) +
                  " path");
  }
  if (options.path == VexoPath::kFast) {
    std::string problem = FastPathSizeProblem(picture.width, picture.height);
    if (!problem.empty()) return refuse(std::move(problem));
  }
  return {};
}

bool IsLosslessEncoding(const EncodeOptions& options) {
  return options.path == VexoPath::kFast ||
         (options.path == VexoPath::kPredictive && options.quality == 0);
}

Result<std::vector<uint8_t>> EncodeVexo(const RgbPicture& picture, const EncodeOptions& options) {
  if (Result<void> checked = CheckEncodeOptions(picture, options); !checked) {
    return checked.error();
  }
  const VexoHeader header = HeaderFor(picture, options);
  switch (options.path) {
    case VexoPath::kPredictive:
      return EncodePredictive(QuantiseToRgb565(picture, options.dither), header, options.effort);
    case VexoPath::kFast:
      return EncodeFast(QuantiseToRgb565(picture, options.dither), header, options.effort);
    case VexoPath::kTransform:
      return EncodeTransform(picture, header, options.effort);
  }
  return Error{ErrorCode::kInvalidRequest, "no such coding path"};
}

}  // namespace vexo
