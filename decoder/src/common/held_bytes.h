// Where a path finds the bytes of one of its streams: the whole file in
// memory, or a window onto the stream that its function refills (a file
// read through a callback).
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/byte_window.h"

namespace vexo {

struct HeldBytes {
  const uint8_t* bytes;  // the byte at file offset `base`
  int64_t base;
  int64_t end;         // just past the last byte held
  ByteWindow* window;  // nullptr: the whole file is held

  static HeldBytes WholeFile(const uint8_t* file, uint64_t size) {
    return {file, 0, static_cast<int64_t>(size), nullptr};
  }
  static HeldBytes Through(ByteWindow* window) {
    HeldBytes held{nullptr, 0, 0, window};
    held.Update();
    return held;
  }

  // The byte at a held file offset.
  const uint8_t* At(int64_t offset) const { return bytes + (offset - base); }

  // Whether the `count` bytes from `offset` are held, after a window has
  // been refilled for them: read ahead as far as it goes, or, when
  // `needed`, past the start of the file's next stream too.
  bool Hold(int64_t offset, size_t count, bool needed) {
    const auto held = [&] { return offset >= base && offset <= end - static_cast<int64_t>(count); };
    if (held()) return true;
    if (window == nullptr || offset < static_cast<int64_t>(window->base)) return false;
    window->Refill(static_cast<uint64_t>(offset), count, needed);
    Update();
    return held();
  }

 private:
  void Update() {
    bytes = window->bytes;
    base = static_cast<int64_t>(window->base);
    end = static_cast<int64_t>(window->End());
  }
};

// Where a path reads its streams: the whole file in memory, or a window
// onto each of its streams (in the order the path names them).
struct StreamSources {
  const uint8_t* file = nullptr;  // the whole file, or nullptr
  uint64_t fileSize = 0;
  ByteWindow* windows[3] = {};

  bool InMemory() const { return file != nullptr || windows[0] == nullptr; }
  HeldBytes Stream(int index) const {
    return InMemory() ? HeldBytes::WholeFile(file, fileSize) : HeldBytes::Through(windows[index]);
  }
};

}  // namespace vexo
