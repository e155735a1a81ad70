// The VEXO encoder: makes files for all three coding paths from a 24-bit
// picture. Every file it writes decodes within its own bounds and predicts
// only from pixels the decoder has already written.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "vexo_header.h"
#include "vexo_result.h"

namespace vexo {

// An 8-bit red-green-blue picture, rows top to bottom, 3 bytes a pixel.
struct RgbPicture {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint8_t> rgb;
  bool from24BitSource = true;  // sets depthFlag
};

// How the predictive and fast paths, which code 5-6-5 pixels, reduce the 8-bit
// picture. The transform path codes the 8-bit planes themselves (its decoder
// makes the 5-6-5 pixels), so it takes kNone only.
enum class Dither {
  kNone,            // every channel to its nearest shown value
  kOrdered,         // a 4 x 4 Bayer threshold, one channel step wide
  kFloydSteinberg,  // error diffusion, serpentine rows, integer arithmetic
};

// How hard the encoder searches for a smaller file at the same fidelity:
// 0 fastest, kDefaultEffort the default, kHighestEffort smallest.
inline constexpr int kLowestEffort = 0;
inline constexpr int kDefaultEffort = 5;
inline constexpr int kHighestEffort = 9;

struct EncodeOptions {
  VexoPath path = VexoPath::kPredictive;
  VexoFamily family = VexoFamily::k101;
  int quality = 0;
  Dither dither = Dither::kNone;
  int effort = kDefaultEffort;
};

// The highest quality a path takes; every path takes 0 and up to this.
int HighestQuality(VexoPath path);

// "predictive", "transform" or "fast", as the command line names the paths.
std::string_view VexoPathName(VexoPath path);

// What the options make, for the user: "predictive lossless", "fast
// lossless", "transform quality 24"; and with the family the decoder needs:
// "transform quality 24 (family 101)".
std::string EncodingName(const EncodeOptions& options);
std::string EncodingNameWithFamily(const EncodeOptions& options);

// Success, or why EncodeVexo refuses the request: a picture side outside
// 1..kVexoLargestSide (kTooLarge above it), a path the family lacks, a quality
// the path does not take, dithering on the transform path, an effort outside
// kLowestEffort..kHighestEffort (kInvalidRequest).
Result<void> CheckEncodeOptions(const RgbPicture& picture, const EncodeOptions& options);

// True when the options promise a decode equal to the quantised picture
// (QuantiseToRgb565 with the options' dithering):
// the fast path at every quality, the predictive path at quality 0.
bool IsLosslessEncoding(const EncodeOptions& options);

// The whole file, or the error CheckEncodeOptions gives for the request.
Result<std::vector<uint8_t>> EncodeVexo(const RgbPicture& picture, const EncodeOptions& options);

// The 5-6-5 pixel nearest to what the viewer will show for an 8-bit colour:
// the viewer shows the 5-bit red 31 as 248, so 8-bit values round to the
// nearest multiple of 8 (4 for green) and saturate at the top.
uint16_t NearestRgb565(uint8_t red, uint8_t green, uint8_t blue);
// The picture in 5-6-5; kNone takes NearestRgb565 of every pixel, the others
// keep the averages of small areas closer to the source (see dither.cpp).
std::vector<uint16_t> QuantiseToRgb565(const RgbPicture& picture, Dither dither = Dither::kNone);

// Peak signal-to-noise ratio in dB of a decoded picture, as the viewer shows
// it (5-6-5 expanded with zero low bits), against the 8-bit source.
// Infinity when they are equal; not a number when their sizes differ.
double PsnrAgainstSource(const RgbPicture& source, const std::vector<uint16_t>& decoded);

}  // namespace vexo
