// vexo-thumbnailer: PNG thumbnails of VEXO pictures for file managers, run
// through its .thumbnailer entry as "vexo-thumbnailer -s %s %i %o".
#include <CLI/CLI.hpp>
#include <iostream>

#include "thumbnail.h"

namespace {

constexpr int kFailure = 1;
constexpr int kUsageError = 2;

const char* const kDescription =
    "vexo-thumbnailer - write a PNG thumbnail of a VEXO picture.\n\n"
    "The longest side of the thumbnail is SIZE pixels and the aspect ratio is kept;\n"
    "a picture already that small is written at its own size, never enlarged.\n"
    "The pixels are averaged over the area each thumbnail pixel covers.\n\n"
    "Exit status: 0 success, 1 the picture could not be read or the thumbnail\n"
    "written, 2 usage error.";

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{kDescription, "vexo-thumbnailer"};
  int size = 128;
  std::string input, output;
  app.add_option("-s,--size", size, "longest side of the thumbnail in pixels (default 128)")
      ->check(CLI::Range(1, 32767));
  app.add_option("INPUT", input, "VEXO file")->required();
  app.add_option("OUTPUT", output, "PNG file to write")->required();
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    return app.exit(error) == 0 ? 0 : kUsageError;
  }
  const std::string failure = vexo::thumbnailer::WriteThumbnail(input, output, size);
  if (failure.empty()) return 0;
  std::cerr << "vexo-thumbnailer: " << failure << "\n";
  return kFailure;
}
