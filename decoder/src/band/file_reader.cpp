#include "band/file_reader.h"

#include <algorithm>
#include <cstring>

namespace vexo {

bool FileReader::Read(uint64_t offset, uint8_t* buffer, size_t size) {
  if (failed) return false;
  ++calls;
  const long got = read(context, static_cast<uint32_t>(offset), buffer, size);
  failed = got < 0 || static_cast<size_t>(got) != size;
  return !failed;
}

void ReaderWindow::Start(FileReader* reader, uint8_t* shareStart, size_t shareBytes, uint64_t start,
                         uint64_t limit) {
  file = reader;
  share = shareStart;
  capacity = static_cast<uint32_t>(std::min<size_t>(shareBytes, UINT32_MAX));
  const uint32_t size = reader->fileSize;
  window = {shareStart, static_cast<uint32_t>(std::min<uint64_t>(start, size)), 0,
            size,       static_cast<uint32_t>(std::min<uint64_t>(limit, size)), RefillFromReader};
}

namespace {

// Moves the `count` bytes at `from` back to `to` in a share: a few bytes at
// each refill. Where both lie alike against word boundaries (as the window
// places its bytes) whole words are moved, from the word that holds `to`
// on, so that a share's few bytes before `to` and after the last one may be
// moved along with them (the share's start and end are word-aligned).
void MoveToFront(uint8_t* to, const uint8_t* from, uint32_t count) {
  const auto skew = reinterpret_cast<uintptr_t>(to) & 3;
  if (((reinterpret_cast<uintptr_t>(from) - reinterpret_cast<uintptr_t>(to)) & 3) != 0) {
    std::memmove(to, from, count);
    return;
  }
  typedef uint32_t __attribute__((may_alias)) Word;
  auto* wordTo = reinterpret_cast<Word*>(to - skew);
  const auto* wordFrom = reinterpret_cast<const Word*>(from - skew);
  for (uint32_t words = (count + skew + 3) / 4; words > 0; --words) *wordTo++ = *wordFrom++;
}

}  // namespace

size_t RefillFromReader(ByteWindow& window, uint32_t offset, size_t count, bool needed) {
  auto& self = reinterpret_cast<ReaderWindow&>(window);
  // Held from the offset on: none where it lies outside the bytes held.
  const uint32_t into = offset - window.base;
  const uint32_t heldFrom = into < window.held ? window.held - into : 0;
  if (self.file->failed || heldFrom >= count) return heldFrom;
  const uint32_t left = window.fileSize - offset;
  // The bytes go where their address is aligned as their offset in the
  // file, so that words are copied whole, by the reader and here; unless a
  // share too small for that would then not hold the bytes the decode
  // needs.
  uint32_t skew = (offset - static_cast<uint32_t>(reinterpret_cast<uintptr_t>(self.share))) & 3;
  if (self.capacity < skew + std::min<size_t>(count, left)) skew = 0;
  uint8_t* const start = self.share + skew;
  const uint32_t room = self.capacity - skew;
  // What to hold, counted from the offset: as much as the share takes, read
  // ahead up to the limit; past the limit only what the decode needs.
  uint32_t want = offset < window.limit ? window.limit - offset : 0;
  if (needed) want = std::max(want, static_cast<uint32_t>(std::min<size_t>(count, left)));
  want = std::min({want, room, left});
  // What is held from the offset on stays, moved to the start of the share
  // (where it fits: it starts no earlier in the share than it did).
  const uint32_t kept = heldFrom;
  if (want <= kept) return heldFrom;
  if (kept > 0) MoveToFront(start, window.bytes + (offset - window.base), kept);
  window.base = offset;
  window.held = kept;
  window.bytes = start;
  if (self.file->Read(offset + kept, start + kept, want - kept)) window.held = want;
  return window.held;
}

}  // namespace vexo
