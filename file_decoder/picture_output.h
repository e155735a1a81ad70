// A decoded picture written as BMP, PNG or binary PPM, which carry the same
// 24-bit pixels, 5-6-5 expanded with the low bits 0 (0xFFFF becomes 248,
// 252, 248); or as raw 5-6-5, the decoder's own 16-bit pixels with no header,
// ready for a display's frame buffer.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "png_file.h"

namespace vexo {

enum class OutputFormat { kBmp, kPng, kPpm, kRaw };

// How raw 5-6-5 output stores each 16-bit pixel: little-endian, as the
// decoder leaves it on a little-endian processor, or big-endian (high byte
// first), as many SPI display controllers take it.
enum class PixelByteOrder { kLittle, kBig };

// "bmp", "png", "ppm" or "raw" in any case, as given to --format.
std::optional<OutputFormat> OutputFormatNamed(std::string_view name);

// The format a file name asks for by its extension (".PNG" too), if any.
std::optional<OutputFormat> OutputFormatOfPath(std::string_view path);

// ".bmp", ".png", ".ppm" or ".raw".
std::string_view OutputFormatExtension(OutputFormat format);

// The whole file for a width x height 5-6-5 picture, for writing anywhere,
// standard output included. Pixels that do not match the size are
// kInvalidRequest. `order` applies to raw output alone.
Result<std::vector<uint8_t>> EncodeOutputFile(OutputFormat format, int32_t width, int32_t height,
                                              std::span<const uint16_t> image565,
                                              PixelByteOrder order = PixelByteOrder::kLittle);

// Writes the picture to `path` so that it appears whole or not at all.
// A failure's message names the file.
Result<void> WriteOutputFile(const std::string& path, OutputFormat format, int32_t width,
                             int32_t height, std::span<const uint16_t> image565,
                             PixelByteOrder order = PixelByteOrder::kLittle);

}  // namespace vexo
