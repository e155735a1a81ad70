// COrvaneDisplayView: the pane that shows each decoded picture 1:1, one
// picture pixel per device pixel, placed as the display logic says.
#pragma once

#include <QImage>
#include <QWidget>

#include "picture_placement.h"
#include "viewer_services.h"

class COrvaneDisplayView : public QWidget, public orvane::DisplaySink {
  Q_OBJECT

 public:
  explicit COrvaneDisplayView(QWidget* parent = nullptr);

  void SetImageSize(int32_t width, int32_t height) override;
  void SetImage(std::span<const uint8_t> bitmap24) override;

  const orvane::DisplayState& State() const { return state_; }
  // Where the picture's top-left pixel is drawn, in widget coordinates.
  QPointF PictureOrigin() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void ResizeState();

  orvane::DisplayState state_;
  QImage picture_;
};

// The picture shown before the first decode: "DECODED IMAGE" in white
// capitals on black, 176 x 144.
QImage MakePlaceholderPicture();

// A bottom-up 24-bit picture with padded rows as a top-down QImage holding
// the very same bytes (no widening of the colour channels).
QImage Bitmap24ToImage(std::span<const uint8_t> bitmap24, int32_t width, int32_t height);
