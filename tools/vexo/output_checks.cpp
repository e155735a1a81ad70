#include <unistd.h>

#include <filesystem>

#include "commands.h"
#include "file_io/input_file.h"
#include "file_io/same_file.h"

namespace vexo::cli {

std::optional<OutputRefusal> RefuseOutput(const std::string& input, const std::string& output,
                                          std::string_view what) {
  const std::string named(what);
  if (output == file_io::kStandardStream) {
    if (::isatty(STDOUT_FILENO) != 1) return std::nullopt;
    return OutputRefusal{kUsageError,
                         "standard output is a terminal; name an output file for the " + named +
                             " or redirect standard output"};
  }
  std::error_code error;
  if (std::filesystem::is_directory(output, error)) {
    return OutputRefusal{1, output + ": is a folder; name a file for the " + named};
  }
  if (file_io::NamesSameFile(input, output)) {
    return OutputRefusal{1, output + ": is the input file; the " + named + " would replace it"};
  }
  return std::nullopt;
}

}  // namespace vexo::cli
