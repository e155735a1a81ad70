// vexo: the command line for VEXO pictures.
#include <CLI/CLI.hpp>
#include <iostream>
#include <map>
#include <new>
#include <optional>
#include <string>

#include "commands.h"

namespace {

constexpr int kUsageError = 2;

const char* const kDescription =
    "vexo - make, decode and inspect VEXO pictures.\n\n"
    "Exit status: 0 success, 1 the file could not be read, written or decoded, 2 usage error.";

const char* const kEncodeDescription =
    "Encode a PNG, 24/32-bit BMP or binary PPM picture as a VEXO file. INPUT and\n"
    "OUTPUT may be \"-\" for standard input and output.\n\n"
    "Paths:\n"
    "  predictive  4x4 blocks predicted from their neighbours (families 101 and 201).\n"
    "              Quality 0 is lossless in 5-6-5; 1 keeps every channel within 1 step,\n"
    "              2 (coarse deltas) within 2 steps, for smaller files.\n"
    "  fast        raw, delta-run and fill blocks (family 201 only); lossless at every\n"
    "              quality; quality 2 doubles the deltas.\n"
    "  transform   4x4 intra prediction and integer transform (family 101 only);\n"
    "              quality 1 (best) to 51 (smallest); never lossless. Quality 0\n"
    "              carries levels of at most 2 and cannot correct its predictions.\n"
    "The family defaults to the path's own: 201 for fast, 101 otherwise.\n\n"
    "Lossless: predictive quality 0, and the fast path at every quality. Files larger\n"
    "than the lossless predictive one of the same picture: usually fast quality 2\n"
    "and transform qualities below about 12; encode says so when it happens.\n\n"
    "Transparent pixels (PNG alpha or tRNS) are composited over --background,\n"
    "white unless told.";

// A colour given as "white", "black", or six hexadecimal digits with an
// optional leading "#".
std::optional<Rgb> ParseColour(std::string text) {
  if (text == "white") return kWhite;
  if (text == "black") return Rgb{0, 0, 0};
  if (!text.empty() && text.front() == '#') text.erase(0, 1);
  if (text.size() != 6 || text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
    return std::nullopt;
  }
  const unsigned long value = std::stoul(text, nullptr, 16);
  return Rgb{static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 8),
             static_cast<uint8_t>(value)};
}

// CLI11 would only say that the argument was not expected.
bool IsUnknownCommand(int argc, char** argv, const CLI::App& app) {
  if (argc < 2 || argv[1][0] == '-') return false;
  for (const CLI::App* command : app.get_subcommands({})) {
    if (command->get_name() == argv[1]) return false;
  }
  return true;
}

const std::map<std::string, VexoPath> kPathNames = {{"predictive", VexoPath::kPredictive},
                                                    {"fast", VexoPath::kFast},
                                                    {"transform", VexoPath::kTransform}};

// Checks of the request that need no picture; a failure is a usage error.
std::string UsageProblem(const EncodeOptions& options) {
  if (options.path == VexoPath::kFast && options.family != VexoFamily::k201) {
    return "--path fast needs --family 201";
  }
  if (options.path == VexoPath::kTransform && options.family != VexoFamily::k101) {
    return "--path transform needs --family 101";
  }
  const int highest = options.path == VexoPath::kTransform ? 51 : 2;
  if (options.quality < 0 || options.quality > highest) {
    return "--quality must be 0.." + std::to_string(highest) + " for this path";
  }
  return {};
}

}  // namespace

int Run(int argc, char** argv) {
  CLI::App app{kDescription, "vexo"};
  app.require_subcommand(1);
  app.set_version_flag("--version", "vexo " VEXO_VERSION);

  vexo_cli::DecodeOptions decodeOptions;
  CLI::App* decode =
      app.add_subcommand("decode", "Decode a VEXO file to a 24-bit BMP and print its statistics");
  decode->add_option("INPUT", decodeOptions.input, "VEXO file to decode")->required();
  decode->add_option("OUTPUT", decodeOptions.output,
                     "BMP file to write (default: beside INPUT, \"1.bmp\" in place of \".vxo\")");

  std::string infoInput;
  CLI::App* info = app.add_subcommand(
      "info", "Print the header fields, the coding path and the decode status of a VEXO file");
  info->add_option("INPUT", infoInput, "VEXO file to inspect")->required();

  vexo_cli::EncodeRequest encodeRequest;
  std::string pathName = "predictive";
  int family = 0;
  CLI::App* encode = app.add_subcommand("encode", kEncodeDescription);
  encode->add_option("INPUT", encodeRequest.input, "PNG, BMP or PPM picture")->required();
  encode->add_option("OUTPUT", encodeRequest.output, "VEXO file to write")->required();
  encode->add_option("--path", pathName, "predictive (default), fast or transform")
      ->check(CLI::IsMember({"predictive", "fast", "transform"}));
  encode->add_option("--family", family, "101 or 201 (default: the path's family)")
      ->check(CLI::IsMember({101, 201}));
  encode->add_option("--quality", encodeRequest.options.quality, "quality (default 0)");
  std::string background = "white";
  encode
      ->add_option("--background", background,
                   "colour under transparent pixels: white (default), black or RRGGBB")
      ->check([](const std::string& text) {
        return ParseColour(text) ? std::string() : "not a colour: " + text;
      });

  if (IsUnknownCommand(argc, argv, app)) {
    std::cerr << "vexo: unknown command '" << argv[1]
              << "'\nRun with --help for more information.\n";
    return kUsageError;
  }
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    const int code = app.exit(error);
    return code == 0 ? 0 : kUsageError;
  }
  if (*decode) return vexo_cli::RunDecode(decodeOptions, std::cout, std::cerr);
  if (*info) return vexo_cli::RunInfo(infoInput, std::cout, std::cerr);

  encodeRequest.background = *ParseColour(background);
  EncodeOptions& options = encodeRequest.options;
  options.path = kPathNames.at(pathName);
  const VexoFamily pathFamily =
      options.path == VexoPath::kFast ? VexoFamily::k201 : VexoFamily::k101;
  options.family = family == 0 ? pathFamily : static_cast<VexoFamily>(family);
  if (const std::string problem = UsageProblem(options); !problem.empty()) {
    std::cerr << "encode: " << problem << "\nRun with --help for more information.\n";
    return kUsageError;
  }
  return vexo_cli::RunEncode(encodeRequest, std::cout, std::cerr);
}

int main(int argc, char** argv) {
  // No input may end the program by an exception: whatever escapes is said.
  try {
    return Run(argc, argv);
  } catch (const std::bad_alloc&) {
    std::cerr << "vexo: not enough memory\n";
  } catch (const std::exception& error) {
    std::cerr << "vexo: " << error.what() << "\n";
  }
  return 1;
}
