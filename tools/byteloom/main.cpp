// byteloom: converts binary resources to C byte-list text and back, or writes a batch script
// that converts a whole folder tree. See command_line.h for the arguments.

#include <iostream>
#include <string_view>
#include <vector>

#include "byteloom/command_line.h"

int main(int argc, char** argv) {
  // argv[0] is the program's name, when the system passes one at all.
  const std::vector<std::string_view> arguments(argc > 0 ? argv + 1 : argv, argv + argc);
  const int exitCode = byteloom::RunByteloom(arguments, std::cin, std::cout);
  std::cout.flush();
  return exitCode;
}
