// Reading ordinary pictures for the encoder: PNG, JPEG, 24- and 32-bit
// uncompressed BMP (bottom-up or top-down), and binary PPM.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <variant>

#include "vexo_encoder.h"

// The picture, or a message that says what is wrong with the file.
using PictureOrError = std::variant<RgbPicture, std::string>;

// Reads a whole file and decodes it by its contents, not its name.
PictureOrError ReadPicture(const std::string& path);

// The picture held in a file's bytes; `name` starts every message.
PictureOrError DecodePicture(std::span<const uint8_t> bytes, const std::string& name);
PictureOrError DecodePng(std::span<const uint8_t> bytes, const std::string& name);
PictureOrError DecodeJpeg(std::span<const uint8_t> bytes, const std::string& name);
PictureOrError DecodeBmp(std::span<const uint8_t> bytes, const std::string& name);
PictureOrError DecodePpm(std::span<const uint8_t> bytes, const std::string& name);
