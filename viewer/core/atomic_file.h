// Writing a whole file so that it appears complete or not at all: the bytes
// go to a temporary file beside the target, which is then renamed over it.
// A failure leaves any previous file of that name as it was.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>

namespace orvane {

// Writes the parts one after another to `path`. Returns an empty string on
// success, otherwise "Cannot write PATH: reason". Safe to call from several
// threads at once, also for files in the same folder.
std::string WriteFileAtomically(const std::string& path,
                                std::initializer_list<std::span<const uint8_t>> parts);

}  // namespace orvane
