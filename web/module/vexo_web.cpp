// The C functions behind the web module's JavaScript interface (interface.js):
// the encode of `vexo encode`, the file decode of the viewer with its
// statistics, the header, and the C source of `vexo encode OUT.c`. Each call
// keeps its results here until the next call of its kind, for the JavaScript
// to copy out; the module runs one call at a time.
#include <emscripten/emscripten.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "c_source/c_source.h"
#include "encode_settings/encode_settings.h"
#include "encode_settings/encoded_file.h"
#include "file_decoder.h"
#include "pixel_conversion.h"
#include "vexo.h"
#include "vexo_decoder.h"

namespace {

using encode_settings::Colour;
using encode_settings::OptionWords;

// What the last encode made, or why it made nothing.
struct EncodeOutcome {
  std::string message;  // empty on success
  vexo::EncodeChoice encoded;
  double psnr = 0;
  std::string summary;
  std::string warnings;
};

struct DecodeOutcome {
  vexo::FileDecodeStatus status = vexo::FileDecodeStatus::kOk;
  std::string message;  // empty on success
  std::vector<uint8_t> rgba;
  std::array<std::string, 6> statistics;
};

struct CSourceOutcome {
  std::string message;  // empty on success
  c_source::CSourcePair pair;
};

// The outcome of a call that made nothing, and why.
template <class Outcome>
Outcome Refused(std::string message) {
  Outcome outcome;
  outcome.message = std::move(message);
  return outcome;
}

EncodeOutcome lastEncode;
DecodeOutcome lastDecode;
CSourceOutcome lastCSource;
std::string lastInfoMessage;
// Keeps the buffers and the working memory from one picture to the next, as
// the viewer's does.
vexo::FileDecoder fileDecoder;

std::optional<std::string> Word(const char* text) {
  return text ? std::optional<std::string>(text) : std::nullopt;
}

// The order in which interface.js passes the option words.
OptionWords WordsFrom(const char* const* words) {
  return {Word(words[0]), Word(words[1]), Word(words[2]), Word(words[3]),
          Word(words[4]), Word(words[5]), Word(words[6]), Word(words[7])};
}

// Each colour mixed with the background as its alpha says, rounded to the
// nearest, as the PNG reader of `vexo encode` composites: opaque pixels keep
// their colour exactly.
vexo::RgbPicture CompositeOver(std::span<const uint8_t> rgba, int32_t width, int32_t height,
                               const Colour& background, bool from24BitSource) {
  vexo::RgbPicture picture{width, height, std::vector<uint8_t>(rgba.size() / 4 * 3),
                           from24BitSource};
  for (size_t pixel = 0; pixel < rgba.size() / 4; ++pixel) {
    const unsigned alpha = rgba[4 * pixel + 3];
    for (size_t c = 0; c < 3; ++c) {
      const unsigned mixed = rgba[4 * pixel + c] * alpha + background[c] * (255 - alpha);
      picture.rgb[3 * pixel + c] = static_cast<uint8_t>((mixed + 127) / 255);
    }
  }
  return picture;
}

std::string JoinedLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

// The encode as `vexo encode` makes it, after its checks of the options:
// the message is the command line's for the same refusal, without the
// picture's name before it.
EncodeOutcome Encode(std::span<const uint8_t> rgba, int32_t width, int32_t height,
                     bool from24BitSource, const OptionWords& words) {
  const auto settings = encode_settings::SettingsFromWords(words);
  if (!settings) return Refused<EncodeOutcome>(settings.error().message);
  const vexo::RgbPicture picture =
      CompositeOver(rgba, width, height, settings->background, from24BitSource);
  auto encoded = encode_settings::EncodeAsAsked(picture, settings->settings);
  if (!encoded) return Refused<EncodeOutcome>(encoded.error().message);
  std::vector<uint16_t> decoded;
  if (const std::string problem =
          encode_settings::CheckByDecoding(encoded->file, picture, encoded->options, decoded);
      !problem.empty()) {
    return Refused<EncodeOutcome>(problem);
  }
  EncodeOutcome outcome;
  outcome.encoded = std::move(*encoded);
  outcome.psnr = vexo::PsnrAgainstSource(picture, decoded);
  outcome.summary = encode_settings::FileDescription(outcome.encoded, picture, decoded) +
                    encode_settings::ChoiceReason(outcome.encoded);
  if (!settings->settings.choice) {
    outcome.warnings = JoinedLines(encode_settings::WastedBitsWarnings(
        picture, settings->settings.options, outcome.encoded.file.size()));
  }
  return outcome;
}

// The picture as the viewer shows it, 4 bytes a pixel for a canvas.
std::vector<uint8_t> ShownRgba(std::span<const uint16_t> image565) {
  std::vector<uint8_t> rgb(image565.size() * 3);
  vexo::ExpandRgb565(image565, rgb);
  std::vector<uint8_t> rgba(image565.size() * 4, 255);
  for (size_t pixel = 0; pixel < image565.size(); ++pixel) {
    for (size_t c = 0; c < 3; ++c) rgba[4 * pixel + c] = rgb[3 * pixel + c];
  }
  return rgba;
}

std::array<std::string, 6> StatisticsTexts(const vexo::DecodeStatistics& statistics) {
  vexo::StatisticsTexts texts;
  vexo::UpdateStatisticsTexts(texts, statistics);
  return {texts.fileName,   texts.imageSize,  texts.compressionRatio,
          texts.decodeTime, texts.decodeMode, texts.quantiseValue};
}

DecodeOutcome Decode(std::span<const uint8_t> file, const std::string& name) {
  const vexo::FileDecodeOutcome outcome = fileDecoder.DecodeBytes(name, file);
  if (outcome.status != vexo::FileDecodeStatus::kOk) {
    DecodeOutcome failed = Refused<DecodeOutcome>(vexo::FailureMessage(name, outcome));
    failed.status = outcome.status;
    return failed;
  }
  DecodeOutcome decoded;
  decoded.rgba = ShownRgba(fileDecoder.Image565());
  decoded.statistics = StatisticsTexts(fileDecoder.Statistics());
  return decoded;
}

CSourceOutcome CSource(std::span<const uint8_t> file, const std::string& name) {
  const auto names = c_source::CSourceNamesFor(name + ".c", "");
  if (!names) return Refused<CSourceOutcome>(names.error().message);
  auto pair = c_source::MakeCSourcePair(*names, file);
  if (!pair) return Refused<CSourceOutcome>(pair.error().message);
  CSourceOutcome made;
  made.pair = std::move(*pair);
  return made;
}

}  // namespace

extern "C" {

// Encodes width x height RGBA pixels with the option words (8 of them, in
// the order of OptionWords, NULL for an option not given). Returns 1 when a
// file was made, 0 when vexo_web_encode_message says why not.
EMSCRIPTEN_KEEPALIVE int vexo_web_encode(const uint8_t* rgba, int32_t width, int32_t height,
                                         int from24BitSource, const char* const* words) {
  const size_t bytes = 4 * static_cast<size_t>(width) * static_cast<size_t>(height);
  lastEncode = {};
  lastEncode = Encode({rgba, bytes}, width, height, from24BitSource != 0, WordsFrom(words));
  return lastEncode.message.empty() ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE const char* vexo_web_encode_message() {
  return lastEncode.message.c_str();
}
EMSCRIPTEN_KEEPALIVE const uint8_t* vexo_web_encoded_file() {
  return lastEncode.encoded.file.data();
}
EMSCRIPTEN_KEEPALIVE size_t vexo_web_encoded_size() {
  return lastEncode.encoded.file.size();
}
EMSCRIPTEN_KEEPALIVE const char* vexo_web_encoded_path() {
  return vexo::VexoPathName(lastEncode.encoded.options.path).data();
}
EMSCRIPTEN_KEEPALIVE int vexo_web_encoded_family() {
  return static_cast<int>(lastEncode.encoded.options.family);
}
EMSCRIPTEN_KEEPALIVE int vexo_web_encoded_quality() {
  return lastEncode.encoded.options.quality;
}
EMSCRIPTEN_KEEPALIVE double vexo_web_encoded_psnr() {
  return lastEncode.psnr;
}
EMSCRIPTEN_KEEPALIVE const char* vexo_web_encoded_summary() {
  return lastEncode.summary.c_str();
}
EMSCRIPTEN_KEEPALIVE const char* vexo_web_encoded_reason() {
  return lastEncode.encoded.why.c_str();
}
EMSCRIPTEN_KEEPALIVE const char* vexo_web_encoded_warnings() {
  return lastEncode.warnings.c_str();
}

// Decodes a file as the viewer does; `name` names it in the statistics and
// the message. Returns the status: 0 for a picture, else the failure, which
// vexo_web_decode_message says.
EMSCRIPTEN_KEEPALIVE int vexo_web_decode(const uint8_t* file, size_t size, const char* name) {
  lastDecode = {};
  lastDecode = Decode({file, size}, name);
  return static_cast<int>(lastDecode.status);
}

EMSCRIPTEN_KEEPALIVE const char* vexo_web_decode_message() {
  return lastDecode.message.c_str();
}
EMSCRIPTEN_KEEPALIVE int32_t vexo_web_decoded_width() {
  return fileDecoder.ImageWidth();
}
EMSCRIPTEN_KEEPALIVE int32_t vexo_web_decoded_height() {
  return fileDecoder.ImageHeight();
}
EMSCRIPTEN_KEEPALIVE const uint16_t* vexo_web_decoded_pixels565() {
  return fileDecoder.Image565().data();
}
EMSCRIPTEN_KEEPALIVE const uint8_t* vexo_web_decoded_rgba() {
  return lastDecode.rgba.data();
}
// The decoder call alone, as the viewer times it.
EMSCRIPTEN_KEEPALIVE double vexo_web_decoded_seconds() {
  return static_cast<double>(fileDecoder.LastDecodeTicks()) / fileDecoder.CounterFrequency();
}
// The statistics pane's texts, top to bottom: file name, image size,
// compression ratio, decode time, decode mode, quantise value.
EMSCRIPTEN_KEEPALIVE const char* vexo_web_decoded_statistic(int index) {
  return lastDecode.statistics.at(static_cast<size_t>(index)).c_str();
}

// Seconds per decode of `repetitions` decodes of one file into one picture,
// through a context kept across them, as the decode benchmarks measure it.
// Negative when the file does not decode.
EMSCRIPTEN_KEEPALIVE double vexo_web_decode_seconds(const uint8_t* file, size_t size,
                                                    int repetitions) {
  vexo_info info;
  if (vexo_read_info(file, size, &info) != VEXO_OK || info.width < 1 || info.height < 1) {
    return -1;
  }
  const std::span<const uint8_t> bytes(file, size);
  const auto family = static_cast<vexo::VexoFamily>(info.family);
  std::vector<uint16_t> image(static_cast<size_t>(info.width) * info.height);
  vexo::VexoDecodeContext context;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < repetitions; ++i) {
    if (context.Decode(family, bytes, image).status != vexo::VexoStatus::kOk) return -1;
  }
  const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
  return seconds.count() / repetitions;
}

// The header's fields in `fields`: width, height, depth flag, path flag,
// quality, codec version, family, path (VEXO_PATH_*), output bytes and
// workspace bytes. Returns 1, or 0 when vexo_web_info_message says why not.
EMSCRIPTEN_KEEPALIVE int vexo_web_info(const uint8_t* file, size_t size, const char* name,
                                       double* fields) {
  vexo_info info;
  if (vexo_read_info(file, size, &info) != VEXO_OK) {
    lastInfoMessage = vexo::FailureMessage(name, vexo::CheckHeader({file, size}));
    return 0;
  }
  const bool hasPixels = info.width > 0 && info.height > 0;
  const double outputBytes = hasPixels ? 2.0 * info.width * info.height : 0;
  const double values[] = {static_cast<double>(info.width),
                           static_cast<double>(info.height),
                           static_cast<double>(info.depth_flag),
                           static_cast<double>(info.path_flag),
                           static_cast<double>(info.quality),
                           static_cast<double>(info.codec_version),
                           static_cast<double>(info.family),
                           static_cast<double>(info.path),
                           outputBytes,
                           static_cast<double>(vexo_workspace_size(&info))};
  std::copy(std::begin(values), std::end(values), fields);
  return 1;
}

EMSCRIPTEN_KEEPALIVE const char* vexo_web_info_message() {
  return lastInfoMessage.c_str();
}

// The C source and header `vexo encode IN NAME.c` writes for this file.
// Returns 1, or 0 when vexo_web_c_source_message says why not.
EMSCRIPTEN_KEEPALIVE int vexo_web_c_source(const uint8_t* file, size_t size, const char* name) {
  lastCSource = {};
  lastCSource = CSource({file, size}, name);
  return lastCSource.message.empty() ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE const char* vexo_web_c_source_message() {
  return lastCSource.message.c_str();
}
EMSCRIPTEN_KEEPALIVE const char* vexo_web_c_source_text() {
  return lastCSource.pair.sourceText.c_str();
}
EMSCRIPTEN_KEEPALIVE const char* vexo_web_c_header_text() {
  return lastCSource.pair.headerText.c_str();
}

}  // extern "C"
