// vexo: the command line for VEXO pictures.
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <new>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "batch_plan.h"
#include "batch_run.h"
#include "c_source/c_source.h"
#include "commands.h"
#include "encode_settings/encode_settings.h"
#include "encode_settings/option_checks.h"
#include "file_names.h"

namespace vexo::cli {
namespace {

const char* const kDescription =
    "vexo - make, decode and inspect VEXO pictures.\n\n"
    "Exit status: 0 success, 1 the file could not be read, written or decoded, 2 usage error.";

const char* const kDecodeSummary =
    "Decode VEXO files to BMP, PNG or binary PPM pictures, or to raw 5-6-5 pixels";
const char* const kDecodeDescription =
    "  vexo decode INPUT.vxo [OUTPUT]        one file; prints its statistics\n"
    "  vexo decode [-o DIR] [-j N] INPUT...  several files and folders\n\n"
    "OUTPUT's extension (.bmp, .png, .ppm, .raw) chooses the format unless --format\n"
    "says; \"-\" is standard input or output. Without OUTPUT the picture goes beside\n"
    "INPUT, \"1.bmp\" (or \"1.png\", ...) in place of \".vxo\". BMP, PNG and PPM carry\n"
    "the same 24-bit pixels. Raw is the decoder's 5-6-5 picture as a display takes\n"
    "it: width x height 16-bit pixels, rows top to bottom, no header, little-endian\n"
    "unless --byte-order big (high byte first, as many SPI panels want).\n\n"
    "Two names are INPUT and OUTPUT when the second is \"-\" or ends in .bmp, .png,\n"
    ".ppm or .raw and the first is not a folder; otherwise every name is an input. Folders\n"
    "are searched recursively for *.vxo in any letter case, hidden entries skipped.\n"
    "With -o the outputs go under DIR, mirroring each input folder's tree, named\n"
    "with the format's extension in place of \".vxo\". A file that fails is reported\n"
    "with the reason and the others go on; a progress line shows on a terminal\n"
    "and a summary at the end.";

const char* const kEncodeSummary =
    "Encode PNG, JPEG, 24/32-bit BMP or binary PPM pictures as VEXO files or C arrays";
const char* const kEncodeDescription =
    "  vexo encode INPUT OUTPUT.vxo [options]        one picture\n"
    "  vexo encode INPUT OUTPUT.c [options]          the same as a C array, OUTPUT.h beside\n"
    "  vexo encode [-o DIR] [-j N] [options] INPUT...  several pictures and folders\n\n"
    "INPUT and OUTPUT may be \"-\" for standard input and output. Two names are\n"
    "INPUT and OUTPUT when the second is \"-\" or ends in .vxo or .c and the first is\n"
    "not a folder; otherwise every name is an input, encoded beside itself with\n"
    "\".vxo\" (\".c\" with --format c) in place of its extension, or under DIR with\n"
    "-o, mirroring each folder's tree.\n"
    "Folders are searched recursively for *.png, *.jpg, *.jpeg, *.bmp and *.ppm in\n"
    "any letter case, hidden entries skipped. The options apply to every picture.\n\n"
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
    "Lossless: predictive quality 0, and the fast path at every quality. A transform\n"
    "file larger than the lossless predictive one of the same picture (usually at\n"
    "qualities below about 12) is worth less than it costs; encode says so.\n\n"
    "Each file gets a line: the output, its size, the path and quality, the PSNR\n"
    "of a lossy file and, when chosen for a goal, why.\n\n"
    "Choosing the path and quality:\n"
    "  --path auto    the smaller of the lossless predictive (family 101) and\n"
    "                 lossless fast (family 201) files.\n"
    "  --max-bytes N  the most faithful file of at most N bytes: the smaller\n"
    "                 lossless file if it fits, else the transform quality of the\n"
    "                 best PSNR that fits; when none fits, an error naming the\n"
    "                 smallest size reachable, and nothing written.\n"
    "  --min-psnr DB  the smallest file, lossless or transform, whose PSNR against\n"
    "                 the picture is at least DB.\n"
    "Without --path these two search every path, as --path auto does; with --path\n"
    "they search that path alone, and --family 201 keeps to family 201 (lossless\n"
    "first, then predictive qualities 1 and 2). --quality cannot be given with\n"
    "them. PSNR is that of the picture as the viewer shows it (5-6-5, zero low\n"
    "bits) against the 8-bit source.\n\n"
    "Dithering: --dither ordered (a 4x4 Bayer pattern) or floyd-steinberg (error\n"
    "diffusion, serpentine rows) reduces 8-bit colour to 5-6-5 without bands on\n"
    "smooth gradients, for somewhat larger files; none (default) takes the nearest\n"
    "colour. It applies to the predictive and fast paths; the transform path codes\n"
    "8-bit planes and is never dithered.\n\n"
    "Transparent pixels (PNG alpha or tRNS) are composited over --background,\n"
    "white unless told.\n\n"
    "C source (OUTPUT.c or --format c): OUTPUT.c holds the VEXO file's bytes as\n"
    "VEXO_ASSET_ATTRIBUTE const uint8_t NAME[NAME_SIZE], OUTPUT.h includes \"vexo.h\"\n"
    "and declares it with NAME_WIDTH, NAME_HEIGHT, NAME_SIZE, NAME_PATH (VEXO_PATH_*)\n"
    "and NAME_WORKSPACE_SIZE (vexo_workspace_size of the picture). NAME is --name,\n"
    "or OUTPUT's name with every run of characters other than A-Z, a-z and 0-9\n"
    "made one _ (none at the end), and image_ in place of a leading _ or before a\n"
    "leading digit (\"my-bike 2.c\" gives my_bike_2, \"2024 logo.c\" image_2024_logo);\n"
    "--dry-run says it. Into a firmware in five lines:\n"
    "  vexo encode logo.png logo.c                  # logo.c and logo.h\n"
    "  #include \"logo.h\"                            /* includes \"vexo.h\" */\n"
    "  static uint8_t work[LOGO_WORKSPACE_SIZE + 1];  /* C has no empty arrays */\n"
    "  vexo_decode(logo, LOGO_SIZE, pixels, LOGO_WIDTH, 0, work, LOGO_WORKSPACE_SIZE, 0);\n"
    "  vexo_add_images(app FILES logo.png)           # CMake, the same at build time";

// The check of a number option, saying the range it takes.
std::function<std::string(const std::string&)> WholeNumberFrom(int lowest, int highest) {
  return [lowest, highest](const std::string& text) {
    return encode_settings::WholeNumberProblem(text, lowest, highest);
  };
}

// One of `words`, listed in the help as CLI11 lists a set.
CLI::Validator OneOf(std::span<const std::string_view> words) {
  return CLI::Validator(
      [words](std::string& text) { return encode_settings::WordProblem(text, words); },
      encode_settings::WordChoices(words));
}

// CLI11 would only say that the argument was not expected.
bool IsUnknownCommand(int argc, char** argv, const CLI::App& app) {
  if (argc < 2 || argv[1][0] == '-') return false;
  for (const CLI::App* command : app.get_subcommands({})) {
    if (command->get_name() == argv[1]) return false;
  }
  return true;
}

// The options shared by the commands that convert many files.
struct BatchOptions {
  std::vector<std::string> names;
  std::string outputFolder;
  unsigned threads = DefaultThreadCount();
};

void AddBatchOptions(CLI::App& command, BatchOptions& options) {
  command
      .add_option("-o,--output-dir", options.outputFolder,
                  "write every output under DIR, mirroring the input folders' trees")
      ->option_text("DIR");
  command
      .add_option("-j,--jobs", options.threads,
                  "files converted at once (default: one per processor core)")
      ->option_text("N")
      ->check(WholeNumberFrom(1, 1024));
}

// One file alone is converted as before the batch existed: INPUT OUTPUT, or
// for decode a lone file written beside itself.
bool IsBatch(const BatchOptions& options, bool (*looksLikeOutput)(const std::string&),
             bool loneFileAlone) {
  if (!options.outputFolder.empty()) return true;
  if (IsInputAndOutput(options.names, looksLikeOutput)) return false;
  std::error_code error;
  const bool loneFile =
      options.names.size() == 1 && !std::filesystem::is_directory(options.names[0], error);
  return !(loneFile && loneFileAlone);
}

bool LooksLikeDecodedOutput(const std::string& name) {
  return name == "-" || OutputFormatOfPath(name).has_value();
}

bool LooksLikeEncodedOutput(const std::string& name) {
  return name == "-" || EndsWithIgnoringCase(name, ".vxo") || EndsWithIgnoringCase(name, ".c");
}

// Standard input has no folder to write beside and cannot be one of many.
// A folder and a new file named like an output is a folder meant to go into
// one file, which it cannot.
std::optional<BatchRequest> BatchRequestFor(const BatchOptions& options, const std::string& command,
                                            bool (*looksLikeOutput)(const std::string&)) {
  const auto& names = options.names;
  if (std::find(names.begin(), names.end(), "-") != names.end()) {
    std::cerr << command << ": standard input (\"-\") can only be converted alone, "
              << "with its output named\nRun with --help for more information.\n";
    return std::nullopt;
  }
  std::error_code error;
  if (options.outputFolder.empty() && names.size() == 2 &&
      std::filesystem::is_directory(names[0], error) && looksLikeOutput(names[1]) &&
      !std::filesystem::exists(names[1], error)) {
    std::cerr << command << ": " << names[0] << " is a folder, whose files are converted "
              << "one output each; name a folder for them with -o DIR\n"
              << "Run with --help for more information.\n";
    return std::nullopt;
  }
  return BatchRequest{names, options.outputFolder, options.threads, ::isatty(STDERR_FILENO) == 1};
}

const std::map<std::string, PixelByteOrder> kByteOrderNames = {{"little", PixelByteOrder::kLittle},
                                                               {"big", PixelByteOrder::kBig}};

// A byte order given for a format that has none is a mistake worth saying.
bool ByteOrderFits(PixelByteOrder order, std::optional<OutputFormat> format) {
  if (order == PixelByteOrder::kLittle || format == OutputFormat::kRaw) return true;
  std::cerr << "decode: --byte-order big applies to raw 5-6-5 output (.raw or --format raw)\n"
            << "Run with --help for more information.\n";
  return false;
}

int RunDecodeCommand(const BatchOptions& options, const std::string& formatName,
                     PixelByteOrder byteOrder) {
  const std::optional<OutputFormat> format = OutputFormatNamed(formatName);
  if (!IsBatch(options, LooksLikeDecodedOutput, true)) {
    const auto& names = options.names;
    const std::string output = names.size() == 2 ? names[1] : "";
    if (!ByteOrderFits(byteOrder, format ? format : OutputFormatOfPath(output))) {
      return kUsageError;
    }
    return RunDecode({names[0], output, format, byteOrder}, std::cout, std::cerr);
  }
  if (!ByteOrderFits(byteOrder, format)) return kUsageError;
  const auto batch = BatchRequestFor(options, "decode", LooksLikeDecodedOutput);
  return batch ? RunDecodeBatch(*batch, format, byteOrder, std::cout, std::cerr) : kUsageError;
}

// Whether to write C source: asked for, or else an output named OUT.c.
int RunEncodeCommand(const BatchOptions& options, EncodeRequest& request,
                     const std::string& formatName) {
  const bool batch = IsBatch(options, LooksLikeEncodedOutput, false);
  const bool cSource = formatName.empty() ? !batch && EndsWithIgnoringCase(options.names[1], ".c")
                                          : formatName == "c";
  request.format = cSource ? EncodeOutput::kCSource : EncodeOutput::kVexoFile;
  std::string problem;
  if (!request.arrayName.empty() && !cSource) {
    problem = "--name names the array of a C source (OUTPUT.c or --format c)";
  } else if (!request.arrayName.empty() && batch) {
    problem = "--name names one array; several pictures take their names from their files";
  } else if (cSource && !batch && options.names[1] == "-") {
    problem = "C source is two files, OUTPUT.c and OUTPUT.h; it cannot go to standard output";
  } else if (request.dryRun && batch) {
    problem = "--dry-run takes one INPUT and its OUTPUT";
  }
  if (!problem.empty()) {
    std::cerr << "encode: " << problem << "\nRun with --help for more information.\n";
    return kUsageError;
  }
  if (!batch) {
    request.input = options.names[0];
    request.output = options.names[1];
    return RunEncode(request, std::cout, std::cerr);
  }
  const auto batchRequest = BatchRequestFor(options, "encode", LooksLikeEncodedOutput);
  return batchRequest ? RunEncodeBatch(*batchRequest, request, std::cout, std::cerr) : kUsageError;
}

}  // namespace

int Run(int argc, char** argv) {
  CLI::App app{kDescription, "vexo"};
  app.require_subcommand(1);
  app.set_version_flag("--version", "vexo " VEXO_VERSION);

  BatchOptions decodeBatch;
  std::string formatName;
  CLI::App* decode = app.add_subcommand("decode", kDecodeSummary);
  decode->footer(kDecodeDescription);
  decode->add_option("INPUT", decodeBatch.names, "VEXO files and folders, or INPUT OUTPUT")
      ->required();
  decode
      ->add_option("--format", formatName,
                   "bmp, png, ppm or raw, whatever the output's extension (default: bmp)")
      ->check([](const std::string& name) {
        return OutputFormatNamed(name) ? std::string() : "not bmp, png, ppm or raw: " + name;
      });
  std::string byteOrderName = "little";
  decode
      ->add_option("--byte-order", byteOrderName,
                   "little (default) or big: how raw output stores each 16-bit pixel")
      ->check(CLI::IsMember({"little", "big"}));
  AddBatchOptions(*decode, decodeBatch);

  std::string infoInput;
  CLI::App* info = app.add_subcommand(
      "info", "Print the header fields, the coding path and the decode status of a VEXO file");
  info->add_option("INPUT", infoInput, "VEXO file to inspect")->required();

  EncodeRequest encodeRequest;
  BatchOptions encodeBatch;
  encode_settings::GivenOptions given;  // the path empty: predictive, or auto with a goal
  CLI::App* encode = app.add_subcommand("encode", kEncodeSummary);
  encode->footer(kEncodeDescription);
  encode
      ->add_option("INPUT", encodeBatch.names,
                   "PNG, JPEG, BMP or PPM pictures and folders, or INPUT OUTPUT.vxo")
      ->required();
  AddBatchOptions(*encode, encodeBatch);
  encode->add_option("--path", given.path, "predictive (default), fast, transform or auto")
      ->check(OneOf(encode_settings::kPathWords));
  encode->add_option("--family", given.family, "101 or 201 (default: the path's family)")
      ->check(encode_settings::FamilyProblem);
  int quality = 0;
  CLI::Option* qualityOption =
      encode
          ->add_option("--quality", quality,
                       "0 to 2 on the predictive and fast paths, 0 to 51 on the transform path; "
                       "default 0")
          ->option_text("N")
          ->check(WholeNumberFrom(0, HighestQuality(VexoPath::kTransform)));
  std::string maxBytesText;
  CLI::Option* maxBytesOption = encode
                                    ->add_option("--max-bytes", maxBytesText,
                                                 "choose the most faithful file of at most N bytes")
                                    ->option_text("N")
                                    ->check(encode_settings::ByteCountProblem);
  double minPsnr = 0;
  CLI::Option* minPsnrOption =
      encode->add_option("--min-psnr", minPsnr, "choose the smallest file of at least DB dB")
          ->option_text("DB")
          ->check(encode_settings::DecibelsProblem);
  encode
      ->add_option("--dither", given.dither,
                   "none (default), ordered or floyd-steinberg, for 5-6-5 paths")
      ->check(OneOf(encode_settings::kDitherWords));
  encode->add_option("--effort", given.effort, "0 (fastest) to 9 (smallest files); default 5")
      ->option_text("N")
      ->check(WholeNumberFrom(kLowestEffort, kHighestEffort));
  std::string encodeFormatName;
  encode
      ->add_option("--format", encodeFormatName,
                   "vxo, or c for OUTPUT.c and OUTPUT.h, whatever OUTPUT's extension")
      ->check(CLI::IsMember({"vxo", "c"}));
  encode
      ->add_option("--name", encodeRequest.arrayName,
                   "name of the C array (default: OUTPUT's name made a C identifier)")
      ->check([](const std::string& name) { return c_source::ArrayNameProblem(name); });
  encode->add_flag("--dry-run", encodeRequest.dryRun,
                   "check the options and say what would be written (a C source's array "
                   "name too), reading and writing nothing");
  std::string background = "white";
  encode
      ->add_option("--background", background,
                   "colour under transparent pixels: white (default), black or RRGGBB")
      ->check(encode_settings::ColourProblem);

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
  if (*decode) return RunDecodeCommand(decodeBatch, formatName, kByteOrderNames.at(byteOrderName));
  if (*info) return RunInfo(infoInput, std::cout, std::cerr);

  encodeRequest.background = *encode_settings::ParseColour(background);
  if (*qualityOption) given.quality = quality;
  if (*maxBytesOption) given.maxBytes = encode_settings::ByteCount(maxBytesText);
  if (*minPsnrOption) given.minPsnr = minPsnr;
  const Result<encode_settings::EncodeSettings> settings = encode_settings::SettingsFor(given);
  if (!settings) {
    std::cerr << settings.error().message << "\nRun with --help for more information.\n";
    return kUsageError;
  }
  encodeRequest.options = settings->options;
  encodeRequest.choice = settings->choice;
  return RunEncodeCommand(encodeBatch, encodeRequest, encodeFormatName);
}
}  // namespace vexo::cli

int main(int argc, char** argv) {
  // No input may end the program by an exception: whatever escapes is said.
  try {
    return vexo::cli::Run(argc, argv);
  } catch (const std::bad_alloc&) {
    std::cerr << "vexo: not enough memory\n";
  } catch (const std::exception& error) {
    std::cerr << "vexo: " << error.what() << "\n";
  }
  return 1;
}
