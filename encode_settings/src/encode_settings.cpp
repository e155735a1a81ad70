#include "encode_settings/encode_settings.h"

#include <charconv>
#include <cstdlib>
#include <map>

namespace encode_settings {
namespace {

using vexo::Dither;
using vexo::Error;
using vexo::ErrorCode;
using vexo::VexoFamily;
using vexo::VexoPath;

const std::map<std::string, VexoPath> kPathNames = {{"predictive", VexoPath::kPredictive},
                                                    {"fast", VexoPath::kFast},
                                                    {"transform", VexoPath::kTransform}};

const std::map<std::string, Dither> kDitherNames = {{"none", Dither::kNone},
                                                    {"ordered", Dither::kOrdered},
                                                    {"floyd-steinberg", Dither::kFloydSteinberg}};

Error Refusal(const std::string& line) {
  return {ErrorCode::kInvalidRequest, line};
}

// Checks of the request that need no picture.
std::string UsageProblem(const vexo::EncodeOptions& options) {
  if (options.path == VexoPath::kFast && options.family != VexoFamily::k201) {
    return "--path fast needs --family 201";
  }
  if (options.path == VexoPath::kTransform && options.family != VexoFamily::k101) {
    return "--path transform needs --family 101";
  }
  const int highest = vexo::HighestQuality(options.path);
  if (options.quality > highest) {
    return "--quality must be from 0 to " + std::to_string(highest) + " on the " +
           std::string(vexo::VexoPathName(options.path)) + " path, not " +
           std::to_string(options.quality);
  }
  if (options.path == VexoPath::kTransform && options.dither != Dither::kNone) {
    return "--dither applies to the predictive and fast paths; the transform path codes 8-bit "
           "planes";
  }
  return {};
}

// The checks are made on the text given; the values are read only from text
// that passed them.
int WholeNumber(const std::string& text) {
  int value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

// The first option whose text fails its check, in the order the command line
// declares them, as "--option: what is wrong".
std::string FirstOptionProblem(const OptionWords& words) {
  using Check = std::string (*)(const std::string&);
  const auto pathProblem = [](const std::string& text) { return WordProblem(text, kPathWords); };
  const auto qualityProblem = [](const std::string& text) {
    return WholeNumberProblem(text, 0, vexo::HighestQuality(VexoPath::kTransform));
  };
  const auto ditherProblem = [](const std::string& text) {
    return WordProblem(text, kDitherWords);
  };
  const auto effortProblem = [](const std::string& text) {
    return WholeNumberProblem(text, vexo::kLowestEffort, vexo::kHighestEffort);
  };
  const struct {
    const char* name;
    const std::optional<std::string>& text;
    Check problemOf;
  } options[] = {{"--path", words.path, pathProblem},
                 {"--family", words.family, FamilyProblem},
                 {"--quality", words.quality, qualityProblem},
                 {"--max-bytes", words.maxBytes, ByteCountProblem},
                 {"--min-psnr", words.minPsnr, DecibelsProblem},
                 {"--dither", words.dither, ditherProblem},
                 {"--effort", words.effort, effortProblem},
                 {"--background", words.background, ColourProblem}};
  for (const auto& option : options) {
    if (!option.text) continue;
    if (const std::string problem = option.problemOf(*option.text); !problem.empty()) {
      return std::string(option.name) + ": " + problem;
    }
  }
  return {};
}

}  // namespace

vexo::Result<EncodeSettings> SettingsFor(const GivenOptions& given) {
  if (given.maxBytes && given.minPsnr) return Refusal("--max-bytes excludes --min-psnr");
  const bool choosing = given.path == "auto" || given.maxBytes || given.minPsnr;
  if (choosing && given.quality) {
    return Refusal(
        "encode: --quality cannot be given with --path auto, --max-bytes or --min-psnr, which "
        "choose it");
  }
  EncodeSettings settings;
  vexo::EncodeOptions& options = settings.options;
  options.quality = given.quality.value_or(0);
  options.effort = given.effort;
  options.dither = kDitherNames.at(given.dither);
  const bool pathNamed = !given.path.empty() && given.path != "auto";
  options.path = pathNamed ? kPathNames.at(given.path) : VexoPath::kPredictive;
  const VexoFamily pathFamily =
      options.path == VexoPath::kFast ? VexoFamily::k201 : VexoFamily::k101;
  options.family = given.family == 0 ? pathFamily : static_cast<VexoFamily>(given.family);
  if (const std::string problem = UsageProblem(options); !problem.empty()) {
    return Refusal("encode: " + problem);
  }
  if (choosing) {
    vexo::ChoiceRequest& choice = settings.choice.emplace();
    if (pathNamed) choice.path = options.path;
    if (given.family != 0) choice.family = static_cast<VexoFamily>(given.family);
    choice.maxBytes = given.maxBytes;
    choice.minPsnr = given.minPsnr;
    choice.dither = options.dither;
  }
  return settings;
}

vexo::Result<SettingsAndBackground> SettingsFromWords(const OptionWords& words) {
  if (const std::string problem = FirstOptionProblem(words); !problem.empty()) {
    return Refusal(problem);
  }
  GivenOptions given;
  given.path = words.path.value_or("");
  if (words.family) given.family = WholeNumber(*words.family);
  if (words.quality) given.quality = WholeNumber(*words.quality);
  if (words.maxBytes) given.maxBytes = ByteCount(*words.maxBytes);
  if (words.minPsnr) given.minPsnr = std::strtod(words.minPsnr->c_str(), nullptr);
  given.dither = words.dither.value_or("none");
  if (words.effort) given.effort = WholeNumber(*words.effort);
  vexo::Result<EncodeSettings> settings = SettingsFor(given);
  if (!settings) return settings.error();
  return SettingsAndBackground{std::move(*settings),
                               *ParseColour(words.background.value_or("white"))};
}

}  // namespace encode_settings
