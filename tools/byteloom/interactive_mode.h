#pragma once

#include <istream>
#include <ostream>

namespace byteloom {

// Interactive mode: shows a banner, asks for a source and a destination extension in two
// menus read from `in`, and writes a batch script into the current folder that converts
// every file with the source extension in the folder tree. A binary extension pairs only with
// a text extension and the other way round. Answer 0, or the end of `in`, quits.
//
// Returns the program's exit code (see exit_codes.h).
int RunInteractiveMode(std::istream& in, std::ostream& out);

}  // namespace byteloom
