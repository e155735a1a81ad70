// Choosing the coding path and quality for a goal: the smallest lossless
// file, the most faithful file within a size, or the smallest file of a
// fidelity. Fidelity is the PSNR of the decoded picture as the viewer shows
// it against the 8-bit source (PsnrAgainstSource).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "vexo_encoder.h"

namespace vexo {

struct ChoiceRequest {
  // The paths searched: every path when empty, otherwise that one alone.
  std::optional<VexoPath> path = std::nullopt;
  // The families searched: both when empty, otherwise that one alone.
  std::optional<VexoFamily> family = std::nullopt;
  // At most one goal; with none, the smallest lossless file.
  std::optional<size_t> maxBytes = std::nullopt;
  std::optional<double> minPsnr = std::nullopt;
  // For the predictive and fast files; transform files are never dithered.
  Dither dither = Dither::kNone;
};

struct EncodeChoice {
  EncodeOptions options;
  std::vector<uint8_t> file = {};
  double psnr = 0;  // of this file
  // Why this file, for the user, beside what the options make
  // (EncodingNameWithFamily): "smaller than predictive lossless (13002
  // bytes)", "the most faithful that fits in 9000 bytes".
  std::string why = {};
};

// The candidates, most faithful first: the lossless files (predictive quality
// 0, and fast quality 0 where the picture's size allows it), then the lossy
// ones, finest quality first: transform qualities 1 to 51 when no path or
// family limits them, predictive qualities 1 and 2 for the predictive path or
// family 201 alone.
//  - No goal: the smallest lossless file.
//  - maxBytes: the smallest lossless file if it fits, else the most faithful
//    lossy file that fits.
//  - minPsnr: the smallest file, lossless or not, of at least minPsnr dB.
// Lossy qualities are searched by bisection, assuming sizes and PSNR that fall
// as the quality number rises, and the two qualities next to the boundary are
// tried as well. A goal no candidate meets is an Error (kInvalidRequest) that
// says what the candidates reach; so is a request no candidate can code.
Result<EncodeChoice> ChooseEncoding(const RgbPicture& picture, const ChoiceRequest& request);

}  // namespace vexo
