// The bytes of one stream of a file that a decoder holds in a window onto
// it, which a function refills as the decode moves on (a file read through
// a callback, a share of a small input buffer each).
#pragma once

#include <cstddef>
#include <cstdint>

namespace vexo {

// Offsets are 32 bits wide: a file read through a window is one a reader
// reads, whose offsets are (and 32-bit arithmetic is what small cores do
// well).
struct ByteWindow {
  const uint8_t* bytes;  // the byte at file offset `base`
  uint32_t base;
  uint32_t held;  // bytes held from `base` on
  uint32_t fileSize;
  // Reads ahead stop at this offset (where the next stream of the file
  // starts), bytes a decode needs do not.
  uint32_t limit;
  // Makes the bytes from `offset` (at least `base`, at most the file's
  // size) held, reading on from the file: as far ahead as the window allows
  // up to the limit, or past it only the `count` bytes the decode needs when
  // `needed`. Returns how many bytes from `offset` on are held then: 0 when
  // the file ends there, when only the limit stands in the way of a read
  // ahead, or when a read failed.
  size_t (*refill)(ByteWindow& window, uint32_t offset, size_t count, bool needed);

  uint32_t End() const { return base + held; }
  // refill from any offset at least `base`: none are held past the file.
  size_t Refill(uint64_t offset, size_t count, bool needed) {
    return offset < fileSize ? refill(*this, static_cast<uint32_t>(offset), count, needed) : 0;
  }
};

}  // namespace vexo
