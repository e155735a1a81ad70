#pragma once

#include <istream>
#include <ostream>
#include <span>
#include <string_view>

namespace byteloom {

// The text printed for "-h" and "--help".
std::string_view Usage();

// The whole program. `arguments` are those after the program name:
//   none                    interactive mode (reads answers from `in`)
//   "-h" or "--help" alone  prints the usage
//   one or two              prints the argument error
//   three or more           converts one file; further arguments are ignored
// Everything is printed to `out`. Returns the program's exit code (see exit_codes.h).
int RunByteloom(std::span<const std::string_view> arguments, std::istream& in, std::ostream& out);

}  // namespace byteloom
