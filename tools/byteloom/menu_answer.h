#pragma once

#include <istream>

namespace byteloom {

// Reads one menu answer: skips white space, reads a decimal integer if one is there, then
// consumes one more character (normally the line end). When no number can be read, `answer`
// keeps its value and only that one character is consumed, so each stray character costs
// one more showing of the menu. Numbers beyond the range of int saturate.
//
// Returns false when the input ended before an answer began.
bool ReadMenuAnswer(std::istream& in, int& answer);

}  // namespace byteloom
