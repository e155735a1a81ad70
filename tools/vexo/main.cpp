// vexo: the command line for VEXO pictures.
#include <CLI/CLI.hpp>
#include <iostream>

#include "commands.h"

namespace {

constexpr int kUsageError = 2;

const char* const kDescription =
    "vexo - decode and inspect VEXO pictures.\n\n"
    "Exit status: 0 success, 1 the file could not be read or decoded, 2 usage error.";

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{kDescription, "vexo"};
  app.require_subcommand(1);

  vexo_cli::DecodeOptions decodeOptions;
  CLI::App* decode = app.add_subcommand(
      "decode", "Decode a VEXO file to a 24-bit BMP and print its statistics");
  decode->add_option("INPUT", decodeOptions.input, "VEXO file to decode")->required();
  decode->add_option("OUTPUT", decodeOptions.output,
                     "BMP file to write (default: beside INPUT, \"1.bmp\" in place of \".vxo\")");

  std::string infoInput;
  CLI::App* info = app.add_subcommand(
      "info", "Print the header fields, the coding path and the decode status of a VEXO file");
  info->add_option("INPUT", infoInput, "VEXO file to inspect")->required();

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    const int code = app.exit(error);
    return code == 0 ? 0 : kUsageError;
  }
  if (*decode) return vexo_cli::RunDecode(decodeOptions, std::cout, std::cerr);
  return vexo_cli::RunInfo(infoInput, std::cout, std::cerr);
}
