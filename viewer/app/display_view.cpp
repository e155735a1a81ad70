#include "display_view.h"

#include <QPainter>
#include <QResizeEvent>
#include <cstring>

#include "pixel_conversion.h"

QImage MakePlaceholderPicture() {
  QImage picture(orvane::DisplayState::kPlaceholderWidth, orvane::DisplayState::kPlaceholderHeight,
                 QImage::Format_RGB888);
  picture.fill(Qt::black);
  QPainter painter(&picture);
  painter.setPen(Qt::white);
  QFont font = painter.font();
  font.setBold(true);
  font.setPixelSize(16);
  painter.setFont(font);
  painter.drawText(picture.rect(), Qt::AlignCenter, QStringLiteral("DECODED IMAGE"));
  return picture;
}

QImage Bitmap24ToImage(std::span<const uint8_t> bitmap24, int32_t width, int32_t height) {
  const size_t rowBytes = vexo::BitmapRowBytes(width);
  if (width < 1 || height < 1 || bitmap24.size() < rowBytes * static_cast<size_t>(height)) {
    return {};
  }
  QImage image(width, height, QImage::Format_BGR888);
  if (image.isNull()) return {};
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* row = bitmap24.data() + rowBytes * static_cast<size_t>(height - 1 - y);
    std::memcpy(image.scanLine(y), row, 3 * static_cast<size_t>(width));
  }
  return image;
}

COrvaneDisplayView::COrvaneDisplayView(QWidget* parent)
    : QWidget(parent), picture_(MakePlaceholderPicture()) {
  setMinimumSize(1, 1);
  setFocusPolicy(Qt::StrongFocus);
}

void COrvaneDisplayView::SetImageSize(int32_t width, int32_t height) {
  state_.SetImageSize(width, height);
}

void COrvaneDisplayView::SetImage(std::span<const uint8_t> bitmap24) {
  state_.SetImage(bitmap24);
  picture_ = Bitmap24ToImage(state_.PixelCopy(), state_.Width(), state_.Height());
  repaint();  // each picture of a fast slide show is painted, not just the last
}

QPointF COrvaneDisplayView::PictureOrigin() const {
  const qreal ratio = devicePixelRatioF();
  return {state_.Position().x / ratio, state_.Position().y / ratio};
}

void COrvaneDisplayView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QImage picture = picture_;
  picture.setDevicePixelRatio(devicePixelRatioF());
  painter.drawImage(PictureOrigin(), picture);
}

void COrvaneDisplayView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  ResizeState();
}

void COrvaneDisplayView::ResizeState() {
  const qreal ratio = devicePixelRatioF();
  state_.Resize(static_cast<int32_t>(width() * ratio), static_cast<int32_t>(height() * ratio));
}
