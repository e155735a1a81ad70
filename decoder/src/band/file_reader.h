// A file read through the caller's read function, a share of the input
// buffer for each of its streams: what a band-by-band decode from a file
// system or serial flash reads its bytes through.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/byte_window.h"

namespace vexo {

// The caller's reader, and what came of its calls.
struct FileReader {
  long (*read)(void* context, uint32_t offset, uint8_t* buffer, size_t size);
  void* context;
  uint32_t fileSize;
  uint32_t calls = 0;
  // Once a read failed (or returned fewer bytes than the file holds there)
  // the reader is not called again.
  bool failed = false;

  // Reads `size` bytes from `offset` (inside the file) into `buffer`.
  bool Read(uint64_t offset, uint8_t* buffer, size_t size);
};

// A window onto one stream in its share of the input buffer, refilled from
// the reader in pieces as large as the share allows, ahead no further than
// the start of the file's next stream.
struct ReaderWindow {
  ByteWindow window;  // first, so that its refill finds the rest
  uint8_t* share;
  uint32_t capacity;
  FileReader* file;

  // Starts the window empty at `start` (clamped to the file), reading ahead
  // up to `limit`.
  void Start(FileReader* reader, uint8_t* shareStart, size_t shareBytes, uint64_t start,
             uint64_t limit);
};

// ByteWindow::refill of a ReaderWindow.
size_t RefillFromReader(ByteWindow& window, uint32_t offset, size_t count, bool needed);

}  // namespace vexo
