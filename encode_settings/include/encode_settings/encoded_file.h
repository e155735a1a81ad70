// The file an encode makes as its settings ask, checked by decoding it with
// the library, and the words vexo encode describes it with.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "encode_settings/encode_settings.h"
#include "vexo_choice.h"
#include "vexo_encoder.h"
#include "vexo_result.h"

namespace encode_settings {

// The file the settings ask for, with its options; `why` is empty when the
// settings named the path and quality themselves.
vexo::Result<vexo::EncodeChoice> EncodeAsAsked(const vexo::RgbPicture& picture,
                                               const EncodeSettings& settings);

// Decodes the new file into `decoded`; lossless output must give back the
// quantised picture exactly. Returns what is wrong, or "".
std::string CheckByDecoding(const std::vector<uint8_t>& file, const vexo::RgbPicture& picture,
                            const vexo::EncodeOptions& options, std::vector<uint16_t>& decoded);

// "176 x 144, 8265 bytes (2.609 bits per pixel), transform quality 29
// (family 101), PSNR 34.26 dB": the picture's and the file's size, the path
// and quality, and the PSNR of a lossy file.
std::string FileDescription(const vexo::EncodeChoice& encoded, const vexo::RgbPicture& picture,
                            const std::vector<uint16_t>& decoded);

// "; chosen: the most faithful that fits in 9000 bytes" for a chosen file,
// "" for one whose path and quality were named.
std::string ChoiceReason(const vexo::EncodeChoice& encoded);

// What makes a transform file of these options cost more than it needs to,
// one text each: a quality whose levels cannot correct a prediction, a file
// larger than the lossless predictive one of the same picture. None for the
// other paths, whose files are lossless or compared by no one.
std::vector<std::string> WastedBitsWarnings(const vexo::RgbPicture& picture,
                                            const vexo::EncodeOptions& options, size_t fileBytes);

}  // namespace encode_settings
