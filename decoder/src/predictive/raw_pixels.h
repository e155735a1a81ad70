// The predictive path's raw-pixel stream: 16-bit little-endian pixels read
// one after another from an offset the file names, which may lie anywhere,
// even outside the file. Read inline where the bytes are held (the whole
// file in memory, or what a window holds), through a call elsewhere.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/held_bytes.h"
#include "common/little_endian.h"

namespace vexo {

class RawPixels {
 public:
  // The most bytes one 4 x 4 block takes: 16 pixels of 2 bytes.
  static constexpr ptrdiff_t kMostBytesPerBlock = 32;

  RawPixels(const HeldBytes& held, int64_t offset) : held_(held) { PointAt(offset); }

  // The next pixel. Past either end of the file it records the fault and
  // yields 0; the caller stops after the block.
  uint16_t Next() {
    if (next_ < last_) [[likely]] {
      const uint16_t pixel = ReadLe16(next_);
      next_ += 2;
      return pixel;
    }
    return NextFetched();
  }

  // As Next for a loop over whole blocks that makes no call: where the
  // pixel is not held it yields 0 and records the fault. Once a window
  // holds fewer bytes than a block may take, sets `stop` to nullptr: the
  // loop then ends its step after this block and refills (see
  // ServesABlock). From a file in memory, or a window that holds the
  // stream up to the end of the file, a pixel not held lies past it.
  // `stop` is volatile: kept in memory, it costs the loop a load per
  // block, where a register written here costs it more.
  uint16_t TakeHeld(uint16_t* volatile& stop) {
    if (next_ < last_) [[likely]] {
      const uint16_t pixel = ReadLe16(next_);
      next_ += 2;
      if (reinterpret_cast<uintptr_t>(next_) > lowAddress_) [[unlikely]]
        stop = nullptr;
      return pixel;
    }
    pastEnd_ = true;
    return 0;
  }

  // True when the bytes held serve a whole block for TakeHeld, after a
  // window has been refilled where they did not.
  bool ServesABlock() {
    if (next_ != nullptr && reinterpret_cast<uintptr_t>(next_) <= lowAddress_) return true;
    return held_.window == nullptr || RefillForABlock();
  }

  // True once a pixel lay past either end of the file.
  bool PastEnd() const { return pastEnd_; }

  // The file offset of the next pixel.
  int64_t Offset() const { return next_ != nullptr ? held_.base + (next_ - held_.bytes) : offset_; }

 private:
  [[gnu::noinline]] uint16_t NextFetched();
  [[gnu::noinline]] bool RefillForABlock();
  // Points the inline paths at the pixel at `offset` where it is held.
  void PointAt(int64_t offset);

  HeldBytes held_;
  // The next byte and the last byte held (both nullptr where the next
  // pixel is not held: offset_ tells where it is then).
  const uint8_t* next_ = nullptr;
  const uint8_t* last_ = nullptr;
  // The address past which fewer bytes than a block may take are held:
  // the largest address for a file in memory.
  uintptr_t lowAddress_ = 0;
  int64_t offset_ = 0;
  bool pastEnd_ = false;
};

}  // namespace vexo
