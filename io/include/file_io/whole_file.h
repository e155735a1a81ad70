// Writing a whole file from memory the one safe way every output uses.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>

#include "vexo_result.h"

namespace file_io {

// Writes `bytes` to `path`, or to standard output when `path` is "-". A file
// appears complete or not at all (see AtomicOutputFile). A failure is
// kWriteFailed, with a message that names the file and the reason, never a
// temporary name.
vexo::Result<void> WriteWholeFile(const std::string& path, std::span<const uint8_t> bytes);
// The same for a file made of several parts written one after another.
vexo::Result<void> WriteWholeFile(const std::string& path,
                                  std::initializer_list<std::span<const uint8_t>> parts);

// The error for a failed write of `path` with error number `errorNumber`.
vexo::Error WriteFailure(const std::string& path, int errorNumber);

}  // namespace file_io
