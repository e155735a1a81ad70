// Reading ordinary pictures for the encoder: PNG, 24- and 32-bit
// uncompressed BMP (bottom-up or top-down), and binary PPM.
#pragma once

#include <string>
#include <variant>

#include "vexo_encoder.h"

// The picture, or a message that says what is wrong with the file.
using PictureOrError = std::variant<RgbPicture, std::string>;

PictureOrError ReadPicture(const std::string& path);

PictureOrError ReadPng(const std::string& path);
PictureOrError ReadBmp(const std::string& path);
PictureOrError ReadPpm(const std::string& path);
