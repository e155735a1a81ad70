// What the dispatch hands to a coding path.
#pragma once

#include <cstdint>
#include <span>

#include "vexo_decoder.h"

namespace vexo {

struct PathInput {
  std::span<const uint8_t> file;  // the whole file, header included
  int32_t width;                  // header values, sign-extended
  int32_t height;
  uint8_t quality;
  // Exactly width x height pixels (empty when either is below 1) with
  // whatever content the caller left there. Each path must leave the same
  // pixels as a decode into a zero-filled buffer, so it clears what it could
  // read before writing and what it never writes.
  std::span<uint16_t> image;
};

// The offset-style result of a path: the offset itself, or -1 when it is not
// positive.
inline int32_t PositiveOrMinusOne(int64_t offset) {
  return offset > 0 ? static_cast<int32_t>(offset) : -1;
}

}  // namespace vexo
