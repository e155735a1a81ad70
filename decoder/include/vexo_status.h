// The statuses every decode of the library reports, in C++: the same codes,
// with the same meanings, as the C interface's VEXO_OK and VEXO_ERROR_*.
#pragma once

#include <cstdint>
#include <string_view>

namespace vexo {

enum class VexoStatus : int32_t {
  kOk = 0,
  kBadMagic = -1,    // the first four bytes are not "VEXO"
  kBadVersion = -4,  // the version byte is not the family's
  kTruncated = -5,   // the decode needed data outside the file
  kMalformed = -6,   // a value outside the format, or an unusable output
  kWorkspace = -7,   // the working memory given is missing or too small
  kRead = -8,        // a read through the caller's reader failed
};

inline constexpr int32_t VexoErrorBadMagic = static_cast<int32_t>(VexoStatus::kBadMagic);
inline constexpr int32_t VexoErrorBadVersion = static_cast<int32_t>(VexoStatus::kBadVersion);
inline constexpr int32_t VexoErrorTruncated = static_cast<int32_t>(VexoStatus::kTruncated);
inline constexpr int32_t VexoErrorMalformed = static_cast<int32_t>(VexoStatus::kMalformed);

struct VexoDecodeResult {
  VexoStatus status;
  // The path's result: the file offset up to which it consumed data, or -1
  // when that offset is not positive. Meaningful only when status is kOk.
  int32_t result;
};

// Lower-case name used by the command line: ok, bad-magic, bad-version,
// truncated, malformed, workspace, read.
std::string_view VexoStatusName(VexoStatus status);

// A short English description, as vexo_status_text gives it.
std::string_view VexoStatusText(VexoStatus status);

}  // namespace vexo
