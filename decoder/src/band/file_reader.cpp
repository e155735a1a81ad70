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
  capacity = shareBytes;
  const uint64_t size = reader->fileSize;
  window = {shareStart, std::min<uint64_t>(start, size), 0,
            size,       std::min<uint64_t>(limit, size), RefillFromReader};
}

size_t RefillFromReader(ByteWindow& window, uint64_t offset, size_t count, bool needed) {
  auto& self = reinterpret_cast<ReaderWindow&>(window);
  const uint64_t end = window.End();
  const auto heldFrom = [&window, offset] {
    return static_cast<size_t>(offset < window.End() ? window.End() - offset : 0);
  };
  if (offset >= window.fileSize || self.file->failed || heldFrom() >= count) return heldFrom();
  // The bytes go where their address is aligned as their offset in the
  // file, so that words are copied whole, by the reader and here.
  const auto shareAddress = reinterpret_cast<uintptr_t>(self.share);
  const size_t skew = static_cast<size_t>((offset - shareAddress) & 3);
  uint8_t* const start = self.share + skew;
  const uint64_t room = self.capacity > skew ? self.capacity - skew : 0;
  // What to hold: as far as the share goes, ahead up to the limit; past the
  // limit only what the decode needs.
  uint64_t want = offset < window.limit ? window.limit : offset;
  want = std::min(want, offset + room);
  if (needed) want = std::max(want, offset + count);
  want = std::min({want, offset + room, window.fileSize});
  if (want <= offset) return heldFrom();
  // Keep what is held from the offset on at the start of the share.
  uint64_t kept = 0;
  if (offset < end && offset >= window.base) {
    kept = end - offset;
    std::memmove(start, window.bytes + (offset - window.base), static_cast<size_t>(kept));
  }
  window.base = offset;
  window.held = kept;
  window.bytes = start;
  const uint64_t from = offset + kept;
  if (from < want && self.file->Read(from, start + kept, static_cast<size_t>(want - from))) {
    window.held = want - offset;
  }
  return heldFrom();
}

}  // namespace vexo
