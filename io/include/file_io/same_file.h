// Whether two paths name one file, so that an output never destroys its own
// input.
#pragma once

#include <string>

namespace file_io {

// True when both paths name the same existing file: the same text, or the
// same file reached through links, "..", or another hard link. "-" (a
// standard stream) is never the same file as anything.
bool NamesSameFile(const std::string& first, const std::string& second);

}  // namespace file_io
