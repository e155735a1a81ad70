// Where the display pane draws its picture, and the pane's own copy of the
// last picture. A picture that fits is centred; one that does not is
// anchored at the pane's left or top edge and cut off, never scaled.
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

PicturePosition PlacePicture(int32_t paneWidth, int32_t paneHeight, int32_t pictureWidth,
                             int32_t pictureHeight);

// The display pane's state: the placeholder until the first picture, then
// that picture's copy, placed in a pane whose size the window reports.
class DisplayState {
 public:
  static constexpr int32_t kPlaceholderWidth = 176;
  static constexpr int32_t kPlaceholderHeight = 144;

  // The pane was shown or resized: the picture is centred again.
  void Resize(int32_t paneWidth, int32_t paneHeight);
  void SetImageSize(int32_t width, int32_t height);
  // Copies a bottom-up 24-bit picture of the current size.
  void SetImage(std::span<const uint8_t> bitmap24);

  bool ShowsPlaceholder() const { return pixelCopy_.empty(); }
  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  int32_t RowPadding() const { return width_ & 3; }
  PicturePosition Position() const { return position_; }
  std::span<const uint8_t> PixelCopy() const { return pixelCopy_; }

 private:
  int32_t paneWidth_ = 0;
  int32_t paneHeight_ = 0;
  int32_t width_ = kPlaceholderWidth;
  int32_t height_ = kPlaceholderHeight;
  PicturePosition position_;
  std::vector<uint8_t> pixelCopy_;
};

}  // namespace orvane
