// Where the display pane draws its picture, and the pane's own copy of the
// last picture. The picture is always shown 1:1, never scaled: along each
// axis, one that fits is centred and one that does not is panned, scrolled
// by an offset that stays within the part that overflows the pane.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace orvane {

struct PicturePosition {
  int32_t x = 0;
  int32_t y = 0;
  bool operator==(const PicturePosition&) const = default;
};

struct PicturePlacement {
  PicturePosition origin;       // the picture's top-left pixel in the pane
  PicturePosition scroll;       // the offset in use, within 0..scrollRange
  PicturePosition scrollRange;  // how far the picture can pan: 0 where it fits
  bool operator==(const PicturePlacement&) const = default;
};

// All sizes in device pixels; `scroll` may ask for any offset, the
// placement clamps it.
PicturePlacement PlacePicture(int32_t paneWidth, int32_t paneHeight, int32_t pictureWidth,
                              int32_t pictureHeight, PicturePosition scroll = {});

// The display pane's state: the placeholder until the first picture, then
// that picture's copy, placed in a pane whose size the window reports.
class DisplayState {
 public:
  static constexpr int32_t kPlaceholderWidth = 176;
  static constexpr int32_t kPlaceholderHeight = 144;

  // The pane was shown or resized: the picture is placed again, keeping its
  // scroll offset as far as the new size allows.
  void Resize(int32_t paneWidth, int32_t paneHeight);
  // A new picture keeps the scroll offset too, so that a slide show of
  // pictures of one size stays on the same part of them.
  void SetImageSize(int32_t width, int32_t height);
  void ScrollTo(PicturePosition scroll);
  // Copies a bottom-up 24-bit picture of the current size.
  void SetImage(std::span<const uint8_t> bitmap24);

  bool ShowsPlaceholder() const { return pixelCopy_.empty(); }
  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  int32_t RowPadding() const { return width_ & 3; }
  const PicturePlacement& Placement() const { return placement_; }
  PicturePosition Position() const { return placement_.origin; }
  std::span<const uint8_t> PixelCopy() const { return pixelCopy_; }

 private:
  void Place(PicturePosition scroll);

  int32_t paneWidth_ = 0;
  int32_t paneHeight_ = 0;
  int32_t width_ = kPlaceholderWidth;
  int32_t height_ = kPlaceholderHeight;
  PicturePlacement placement_;
  std::vector<uint8_t> pixelCopy_;
};

}  // namespace orvane
