#include "predictive/raw_pixels.h"

namespace vexo {

void RawPixels::PointAt(int64_t offset) {
  offset_ = offset;
  next_ = last_ = nullptr;
  lowAddress_ = 0;
  if (offset < held_.base || offset > held_.end - 2) return;
  next_ = held_.At(offset);
  last_ = held_.At(held_.end - 1);
  if (held_.window == nullptr || held_.end >= static_cast<int64_t>(held_.window->fileSize)) {
    lowAddress_ = UINTPTR_MAX;
  } else if (held_.end - offset >= kMostBytesPerBlock) {
    lowAddress_ = reinterpret_cast<uintptr_t>(held_.At(held_.end - kMostBytesPerBlock));
  }
}

uint16_t RawPixels::NextFetched() {
  const int64_t offset = Offset();
  if (!held_.Hold(offset, 2, true)) {
    PointAt(offset);
    pastEnd_ = true;
    return 0;
  }
  const uint16_t pixel = ReadLe16(held_.At(offset));
  PointAt(offset + 2);
  return pixel;
}

bool RawPixels::RefillForABlock() {
  const int64_t offset = Offset();
  held_.Hold(offset, kMostBytesPerBlock, false);
  PointAt(offset);
  return next_ != nullptr && reinterpret_cast<uintptr_t>(next_) <= lowAddress_;
}

}  // namespace vexo
