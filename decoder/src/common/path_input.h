// What the dispatch hands to a coding path.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <span>

#include "vexo_decoder.h"

namespace vexo {

// Memory a path may keep for the next decode: a view of a decode context's
// block, grown on demand.
class KeptMemory {
 public:
  KeptMemory(std::unique_ptr<uint8_t[]>& block, size_t& bytes) : block_(block), bytes_(bytes) {}

  // At least `bytes` bytes whose content is whatever the last decode left;
  // null when a larger block cannot be obtained. The old block goes first,
  // so that growing never holds both. Through operator new, so that the
  // program (and the tests) decide how memory is found.
  uint8_t* Reserve(size_t bytes) {
    if (bytes > bytes_) {
      block_.reset();
      bytes_ = 0;
      block_.reset(new (std::nothrow) uint8_t[bytes]);
      if (!block_) return nullptr;
      bytes_ = bytes;
    }
    return block_.get();
  }

 private:
  std::unique_ptr<uint8_t[]>& block_;
  size_t& bytes_;
};

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
  // Where a path keeps memory for the next decode: the decode context's. The
  // dispatch always sets it; only the transform path uses it.
  KeptMemory* memory = nullptr;
};

// The offset-style result of a path: the offset itself, or -1 when it is not
// positive.
inline int32_t PositiveOrMinusOne(int64_t offset) {
  return offset > 0 ? static_cast<int32_t>(offset) : -1;
}

}  // namespace vexo
