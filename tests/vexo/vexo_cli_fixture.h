// The vexo program run as a user runs it: arguments in, text and exit code out.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "temp_folder_test.h"

namespace vexo_cli_test {

struct RunResult {
  int exitCode;
  std::string out;
  std::string err;
};

class VexoCliTest : public vexo::testing::TempFolderTest {
 protected:
  static std::string Slurp(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
  }

  RunResult Run(const std::string& arguments) {
    return RunShell(std::string("'") + VEXO_PROGRAM + "' " + arguments + " </dev/null");
  }

  // A shell command line, with its standard output and error captured.
  RunResult RunShell(const std::string& commandLine) {
    const auto out = folder_ / "stdout.txt";
    const auto err = folder_ / "stderr.txt";
    const std::string command =
        "{ " + commandLine + "; } >'" + out.string() + "' 2>'" + err.string() + "'";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp(out), Slurp(err)};
  }
};

}  // namespace vexo_cli_test
