// A position in one stream of a file: a pointer into the bytes held where
// it lies among them, which the decoder's loops read from and move on
// without a call, and its file offset where it does not (an offset a file
// names may lie anywhere, even outside the file). Small, since a band
// decode keeps several in its workspace.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/held_bytes.h"

namespace vexo {

class StreamCursor {
 public:
  StreamCursor(const HeldBytes& held, int64_t offset)
      : window_(held.window),
        origin_(reinterpret_cast<uintptr_t>(held.bytes) - static_cast<uintptr_t>(held.base)),
        heldEnd_(held.At(held.end)) {
    PointAt(offset);
  }

  // The next byte, where it is held (nullptr elsewhere).
  const uint8_t* Next() const { return next_; }
  // Just past the bytes held.
  const uint8_t* HeldEnd() const { return heldEnd_; }
  // Bytes held from the next one on (where it is held).
  ptrdiff_t HeldAhead() const { return heldEnd_ - next_; }
  // True when the bytes held run to the end of the file: a file in memory,
  // or a window that has read its last piece.
  bool HeldToFileEnd() const { return window_ == nullptr || window_->End() >= window_->fileSize; }
  int64_t Offset() const {
    return next_ != nullptr ? static_cast<int64_t>(reinterpret_cast<uintptr_t>(next_) - origin_)
                            : offset_;
  }

  // Whether `count` bytes from the next one are held, after a window has
  // been refilled for them: read ahead as far as it goes, or, when
  // `needed`, past the start of the file's next stream too.
  bool Hold(size_t count, bool needed) {
    if (next_ != nullptr && static_cast<size_t>(heldEnd_ - next_) >= count) return true;
    return HoldFetched(count, needed);
  }

  // Moves to a byte among those held, or just past them.
  void MoveTo(const uint8_t* next) { next_ = next; }
  // Moves on by `count` bytes, held or not.
  void Skip(size_t count) {
    if (next_ != nullptr && static_cast<size_t>(heldEnd_ - next_) >= count) {
      next_ += count;
    } else {
      PointAt(Offset() + static_cast<int64_t>(count));
    }
  }

 private:
  [[gnu::noinline]] bool HoldFetched(size_t count, bool needed) {
    if (window_ != nullptr && next_ != nullptr) return RefillFrom(next_, count, needed);
    const int64_t offset = Offset();
    if (window_ == nullptr || offset < static_cast<int64_t>(window_->base)) return false;
    window_->Refill(static_cast<uint64_t>(offset), count, needed);
    TakeWindowBytes(*window_);
    PointAt(offset);
    return next_ != nullptr && static_cast<size_t>(heldEnd_ - next_) >= count;
  }
  // HoldFetched from a held byte (or just past them), as a decode through a
  // window moves on: the window's offsets are 32 bits wide, and it still
  // holds `next` after the refill, from a new place perhaps.
  bool RefillFrom(const uint8_t* next, size_t count, bool needed) {
    ByteWindow& window = *window_;
    const auto offset = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(next) - origin_);
    window.refill(window, offset, count, needed);
    TakeWindowBytes(window);
    next_ = window.bytes + (offset - window.base);
    return static_cast<size_t>(heldEnd_ - next_) >= count;
  }
  // The bytes the window holds after a refill.
  void TakeWindowBytes(const ByteWindow& window) {
    origin_ = reinterpret_cast<uintptr_t>(window.bytes) - window.base;
    heldEnd_ = window.bytes + window.held;
  }
  void PointAt(int64_t offset) {
    offset_ = offset;
    const int64_t base = window_ != nullptr ? window_->base : 0;
    const auto end = static_cast<int64_t>(reinterpret_cast<uintptr_t>(heldEnd_) - origin_);
    next_ = offset >= base && offset <= end
                ? reinterpret_cast<const uint8_t*>(origin_ + static_cast<uintptr_t>(offset))
                : nullptr;
  }

  ByteWindow* window_;  // nullptr: the whole file is held
  uintptr_t origin_;    // the address file offset 0 would have
  const uint8_t* heldEnd_;
  const uint8_t* next_ = nullptr;
  int64_t offset_ = 0;
};

}  // namespace vexo
