// Reading ordinary pictures for the encoder: PNG, JPEG, 24- and 32-bit
// uncompressed BMP (bottom-up or top-down), and binary PPM.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <span>
#include <string>

#include "vexo_encoder.h"

namespace vexo {

// A colour as red, green and blue bytes.
using Rgb = std::array<uint8_t, 3>;
// What transparent parts of a picture are composited over unless told.
inline constexpr Rgb kWhite = {255, 255, 255};

// The largest picture file read: a raw 32-bit BMP of the largest picture the
// format holds, with room to spare.
inline constexpr size_t kLargestPictureFile =
    static_cast<size_t>(std::min<uint64_t>(uint64_t{5} << 30, std::numeric_limits<size_t>::max()));

// Each reader gives the picture, or an error whose message starts with the
// file's name and says what is wrong with it: kUnreadable, kUnsupported,
// kDamaged, kTooLarge or kOutOfMemory.

// Reads a whole file ("-": standard input, pipes too) and decodes it by its
// contents, not its name.
// Transparent pixels are composited over `background`.
Result<RgbPicture> ReadPicture(const std::string& path, const Rgb& background = kWhite);

// The picture held in a file's bytes; `name` starts every message.
Result<RgbPicture> DecodePicture(std::span<const uint8_t> bytes, const std::string& name,
                                 const Rgb& background = kWhite);
Result<RgbPicture> DecodePng(std::span<const uint8_t> bytes, const std::string& name,
                             const Rgb& background = kWhite);
Result<RgbPicture> DecodeJpeg(std::span<const uint8_t> bytes, const std::string& name);
Result<RgbPicture> DecodeBmp(std::span<const uint8_t> bytes, const std::string& name);
Result<RgbPicture> DecodePpm(std::span<const uint8_t> bytes, const std::string& name);

}  // namespace vexo
