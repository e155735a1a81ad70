// The options of vexo encode that decide the file, taken together: the path,
// family and quality to encode with, or the goal to choose them for, and the
// refusals of options that cannot go together, as the command line says them.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "encode_settings/option_checks.h"
#include "vexo_choice.h"
#include "vexo_encoder.h"
#include "vexo_result.h"

namespace encode_settings {

// The options as given, each already past its own check (option_checks.h).
struct GivenOptions {
  std::string path;  // empty when not given, else one of kPathWords
  int family = 0;    // 0 when not given
  std::optional<int> quality = std::nullopt;
  std::optional<size_t> maxBytes = std::nullopt;
  std::optional<double> minPsnr = std::nullopt;
  std::string dither = "none";
  int effort = vexo::kDefaultEffort;
};

struct EncodeSettings {
  // The path, family, quality, dithering and effort to encode with; without
  // a goal, the file made is exactly this.
  vexo::EncodeOptions options;
  // When set, the path and quality are chosen for each picture instead.
  std::optional<vexo::ChoiceRequest> choice = std::nullopt;
};

// The settings, or the first refusal in the order the command line finds
// them: both goals given, a quality with a goal or --path auto, a path its
// family lacks, a quality the path does not take, dithering on the transform
// path. The Error (kInvalidRequest) holds the line vexo encode prints, such
// as "encode: --path fast needs --family 201".
vexo::Result<EncodeSettings> SettingsFor(const GivenOptions& given);

// Each option as text, as typed after its name on the command line; empty
// when not given. For programs that take the options from elsewhere than a
// command line (the web page).
struct OptionWords {
  std::optional<std::string> path = std::nullopt;
  std::optional<std::string> family = std::nullopt;
  std::optional<std::string> quality = std::nullopt;
  std::optional<std::string> maxBytes = std::nullopt;
  std::optional<std::string> minPsnr = std::nullopt;
  std::optional<std::string> dither = std::nullopt;
  std::optional<std::string> effort = std::nullopt;
  std::optional<std::string> background = std::nullopt;
};

struct SettingsAndBackground {
  EncodeSettings settings;
  Colour background = {255, 255, 255};  // under transparent pixels
};

// The checks of every option in the order the command line makes them, then
// SettingsFor: the settings, or the line vexo encode prints for the first
// refusal ("--quality: must be a whole number from 0 to 51, not 60").
vexo::Result<SettingsAndBackground> SettingsFromWords(const OptionWords& words);

}  // namespace encode_settings
