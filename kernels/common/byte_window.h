// The bytes of one stream of a file that a decoder has in memory: the whole
// file, or a window onto it that a function refills as the decode moves on
// (a file read through a callback, a share of a small input buffer each).
#pragma once

#include <cstddef>
#include <cstdint>

namespace vexo {

struct ByteWindow {
  const uint8_t* bytes;  // the byte at file offset `base`
  uint64_t base;
  uint64_t held;  // bytes held from `base` on
  uint64_t fileSize;
  // Reads ahead stop at this offset (where the next stream of the file
  // starts), bytes a decode needs do not.
  uint64_t limit;
  // Makes the bytes from `offset` (at least `base`) held, reading on from
  // the file: as far ahead as the window allows up to the limit, or past it
  // only the `count` bytes the decode needs when `needed`. Returns how many
  // bytes from `offset` on are held then: 0 when the file ends there, when
  // only the limit stands in the way of a read ahead, or when a read
  // failed. Null for a window that holds the whole file.
  size_t (*refill)(ByteWindow& window, uint64_t offset, size_t count, bool needed);

  // The whole file, held.
  static ByteWindow WholeFile(const uint8_t* file, uint64_t size) {
    return {file, 0, size, size, size, nullptr};
  }
  uint64_t End() const { return base + held; }
};

}  // namespace vexo
