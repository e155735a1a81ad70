// COrvaneDisplayView: the pane that shows each decoded picture 1:1, one
// picture pixel per device pixel, placed as the display logic says. A
// picture larger than the pane pans: scroll bars, the wheel (Shift+wheel
// sideways) and the arrow keys.
#pragma once

#include <QAbstractScrollArea>
#include <QImage>

#include "picture_placement.h"
#include "viewer_services.h"

class COrvaneDisplayView : public QAbstractScrollArea, public orvane::DisplaySink {
  Q_OBJECT

 public:
  explicit COrvaneDisplayView(QWidget* parent = nullptr);

  void SetImageSize(int32_t width, int32_t height) override;
  void SetImage(std::span<const uint8_t> bitmap24) override;

  const orvane::DisplayState& State() const { return state_; }
  // Where the picture's top-left pixel is drawn, in the viewport's coordinates.
  QPointF PictureOrigin() const;
  // Pans a picture larger than the pane so that its middle shows.
  void ScrollToMiddle();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  void ResizeState();
  // The scroll bars' ranges and values follow the placement, in device pixels.
  void UpdateScrollBars();

  // One arrow key or a third of a wheel notch, in pixels.
  static constexpr int kScrollStep = 20;

  orvane::DisplayState state_;
  QImage picture_;
  bool followingState_ = false;
};

// The picture shown before the first decode: "DECODED IMAGE" in white
// capitals on black, 176 x 144.
QImage MakePlaceholderPicture();

// A bottom-up 24-bit picture with padded rows as a top-down QImage holding
// the very same bytes (no widening of the colour channels).
QImage Bitmap24ToImage(std::span<const uint8_t> bitmap24, int32_t width, int32_t height);
