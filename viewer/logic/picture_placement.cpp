#include "picture_placement.h"

#include <algorithm>

#include "pixel_conversion.h"

namespace orvane {

PicturePosition PlacePicture(int32_t paneWidth, int32_t paneHeight, int32_t pictureWidth,
                             int32_t pictureHeight) {
  return {paneWidth > pictureWidth ? (paneWidth - pictureWidth) / 2 : 0,
          paneHeight > pictureHeight ? (paneHeight - pictureHeight) / 2 : 0};
}

void DisplayState::Resize(int32_t paneWidth, int32_t paneHeight) {
  paneWidth_ = paneWidth;
  paneHeight_ = paneHeight;
  position_ = PlacePicture(paneWidth_, paneHeight_, width_, height_);
}

void DisplayState::SetImageSize(int32_t width, int32_t height) {
  width_ = width;
  height_ = height;
  position_ = PlacePicture(paneWidth_, paneHeight_, width_, height_);
}

void DisplayState::SetImage(std::span<const uint8_t> bitmap24) {
  // Only the picture's own bytes: rows of 3 x width + padding, height rows.
  const size_t bytes =
      std::min(bitmap24.size(), vexo::BitmapRowBytes(width_) * static_cast<size_t>(height_));
  pixelCopy_.assign(bitmap24.begin(), bitmap24.begin() + static_cast<std::ptrdiff_t>(bytes));
}

}  // namespace orvane
