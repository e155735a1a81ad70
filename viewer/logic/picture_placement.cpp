#include "picture_placement.h"

#include <algorithm>

#include "pixel_conversion.h"

namespace orvane {
namespace {

struct AxisPlacement {
  int32_t origin;
  int32_t scroll;
  int32_t range;
};

AxisPlacement PlaceAlongAxis(int32_t pane, int32_t picture, int32_t scroll) {
  if (pane >= picture) return {(pane - picture) / 2, 0, 0};
  const int32_t range = picture - pane;
  const int32_t clamped = std::clamp(scroll, int32_t{0}, range);
  return {-clamped, clamped, range};
}

}  // namespace

PicturePlacement PlacePicture(int32_t paneWidth, int32_t paneHeight, int32_t pictureWidth,
                              int32_t pictureHeight, PicturePosition scroll) {
  const AxisPlacement x = PlaceAlongAxis(paneWidth, pictureWidth, scroll.x);
  const AxisPlacement y = PlaceAlongAxis(paneHeight, pictureHeight, scroll.y);
  return {{x.origin, y.origin}, {x.scroll, y.scroll}, {x.range, y.range}};
}

void DisplayState::Resize(int32_t paneWidth, int32_t paneHeight) {
  paneWidth_ = paneWidth;
  paneHeight_ = paneHeight;
  Place(placement_.scroll);
}

void DisplayState::SetImageSize(int32_t width, int32_t height) {
  width_ = width;
  height_ = height;
  Place(placement_.scroll);
}

void DisplayState::ScrollTo(PicturePosition scroll) {
  Place(scroll);
}

void DisplayState::Place(PicturePosition scroll) {
  placement_ = PlacePicture(paneWidth_, paneHeight_, width_, height_, scroll);
}

void DisplayState::SetImage(std::span<const uint8_t> bitmap24) {
  // Only the picture's own bytes: rows of 3 x width + padding, height rows.
  const size_t bytes =
      std::min(bitmap24.size(), vexo::BitmapRowBytes(width_) * static_cast<size_t>(height_));
  pixelCopy_.assign(bitmap24.begin(), bitmap24.begin() + static_cast<std::ptrdiff_t>(bytes));
}

}  // namespace orvane
