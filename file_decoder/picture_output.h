// A decoded picture written as BMP, PNG or binary PPM: the three carry the
// same 24-bit pixels, 5-6-5 expanded with the low bits 0 (0xFFFF becomes
// 248, 252, 248).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "png_file.h"

namespace vexo {

enum class OutputFormat { kBmp, kPng, kPpm };

// "bmp", "png" or "ppm" in any case, as given to --format.
std::optional<OutputFormat> OutputFormatNamed(std::string_view name);

// The format a file name asks for by its extension (".PNG" too), if any.
std::optional<OutputFormat> OutputFormatOfPath(std::string_view path);

// ".bmp", ".png" or ".ppm".
std::string_view OutputFormatExtension(OutputFormat format);

// The whole file for a width x height 5-6-5 picture, for writing anywhere,
// standard output included. Pixels that do not match the size are
// kInvalidRequest.
Result<std::vector<uint8_t>> EncodeOutputFile(OutputFormat format, int32_t width, int32_t height,
                                              std::span<const uint16_t> image565);

// Writes the picture to `path` so that it appears whole or not at all.
// A failure's message names the file.
Result<void> WriteOutputFile(const std::string& path, OutputFormat format, int32_t width,
                             int32_t height, std::span<const uint16_t> image565);

}  // namespace vexo
