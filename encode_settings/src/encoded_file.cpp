#include "encode_settings/encoded_file.h"

#include <cstdio>

#include "vexo_decoder.h"

namespace encode_settings {
namespace {

using vexo::EncodeChoice;
using vexo::EncodeOptions;
using vexo::RgbPicture;

// `value` with `decimals` digits after the point.
std::string Fixed(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

}  // namespace

vexo::Result<EncodeChoice> EncodeAsAsked(const RgbPicture& picture,
                                         const EncodeSettings& settings) {
  if (settings.choice) return vexo::ChooseEncoding(picture, *settings.choice);
  vexo::Result<std::vector<uint8_t>> encoded = vexo::EncodeVexo(picture, settings.options);
  if (!encoded) return encoded.error();
  return EncodeChoice{settings.options, std::move(*encoded)};
}

std::string CheckByDecoding(const std::vector<uint8_t>& file, const RgbPicture& picture,
                            const EncodeOptions& options, std::vector<uint16_t>& decoded) {
  decoded.assign(static_cast<size_t>(picture.width) * picture.height, 0);
  const vexo::VexoDecodeResult result = vexo::VexoDecode(options.family, file, decoded);
  if (result.status != vexo::VexoStatus::kOk) {
    return std::string("the encoded file does not decode (") +
           std::string(vexo::VexoStatusName(result.status)) + ")";
  }
  if (vexo::IsLosslessEncoding(options) &&
      decoded != vexo::QuantiseToRgb565(picture, options.dither)) {
    return "the encoded file does not decode to the picture";
  }
  return {};
}

std::string FileDescription(const EncodeChoice& encoded, const RgbPicture& picture,
                            const std::vector<uint16_t>& decoded) {
  const double pixels = static_cast<double>(picture.width) * picture.height;
  const size_t bytes = encoded.file.size();
  std::string text = std::to_string(picture.width) + " x " + std::to_string(picture.height) + ", " +
                     std::to_string(bytes) + " bytes (" +
                     Fixed(8.0 * static_cast<double>(bytes) / pixels, 3) + " bits per pixel), " +
                     vexo::EncodingNameWithFamily(encoded.options);
  if (!vexo::IsLosslessEncoding(encoded.options)) {
    text += ", PSNR " + Fixed(vexo::PsnrAgainstSource(picture, decoded), 2) + " dB";
  }
  return text;
}

std::string ChoiceReason(const EncodeChoice& encoded) {
  return encoded.why.empty() ? "" : "; chosen: " + encoded.why;
}

std::vector<std::string> WastedBitsWarnings(const RgbPicture& picture, const EncodeOptions& options,
                                            size_t fileBytes) {
  if (options.path != vexo::VexoPath::kTransform) return {};
  std::vector<std::string> warnings;
  if (options.quality == 0) {
    warnings.push_back(
        "transform quality 0 carries levels of at most 2, too small to correct its predictions; "
        "quality 1 gives the best picture");
  }
  // The picture passed the same checks for the request's own path.
  const EncodeOptions lossless{vexo::VexoPath::kPredictive, vexo::VexoFamily::k101, 0};
  const size_t losslessBytes = vexo::EncodeVexo(picture, lossless).value().size();
  if (fileBytes > losslessBytes) {
    warnings.push_back(std::to_string(fileBytes) +
                       " bytes, larger than the lossless predictive file of this picture (" +
                       std::to_string(losslessBytes) + " bytes, --path predictive --quality 0)");
  }
  return warnings;
}

}  // namespace encode_settings
