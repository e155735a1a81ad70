#include "display_view.h"

#include <QCoreApplication>
#include <QPainter>
#include <QResizeEvent>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
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
    : QAbstractScrollArea(parent), picture_(MakePlaceholderPicture()) {
  setMinimumSize(1, 1);
  setFocusPolicy(Qt::StrongFocus);
  // The viewport's origin is the widget's, so the picture starts at the pane's edge.
  setFrameShape(QFrame::NoFrame);
}

void COrvaneDisplayView::SetImageSize(int32_t width, int32_t height) {
  state_.SetImageSize(width, height);
  UpdateScrollBars();
}

void COrvaneDisplayView::SetImage(std::span<const uint8_t> bitmap24) {
  state_.SetImage(bitmap24);
  picture_ = Bitmap24ToImage(state_.PixelCopy(), state_.Width(), state_.Height());
  viewport()->repaint();  // each picture of a fast slide show is painted, not just the last
}

QPointF COrvaneDisplayView::PictureOrigin() const {
  const qreal ratio = devicePixelRatioF();
  return {state_.Position().x / ratio, state_.Position().y / ratio};
}

void COrvaneDisplayView::ScrollToMiddle() {
  const orvane::PicturePosition range = state_.Placement().scrollRange;
  horizontalScrollBar()->setValue(range.x / 2);
  verticalScrollBar()->setValue(range.y / 2);
}

void COrvaneDisplayView::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  QImage picture = picture_;
  picture.setDevicePixelRatio(devicePixelRatioF());
  painter.drawImage(PictureOrigin(), picture);
}

void COrvaneDisplayView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  ResizeState();
}

void COrvaneDisplayView::scrollContentsBy(int, int) {
  if (!followingState_)
    state_.ScrollTo({horizontalScrollBar()->value(), verticalScrollBar()->value()});
  viewport()->update();
}

// The scroll bars take Shift+wheel for a page step; here it pans sideways.
void COrvaneDisplayView::wheelEvent(QWheelEvent* event) {
  if (!(event->modifiers() & Qt::ShiftModifier)) return QAbstractScrollArea::wheelEvent(event);
  QWheelEvent sideways(event->position(), event->globalPosition(), event->pixelDelta().transposed(),
                       event->angleDelta().transposed(), event->buttons(),
                       event->modifiers() & ~Qt::ShiftModifier, event->phase(), event->inverted(),
                       event->source());
  QCoreApplication::sendEvent(horizontalScrollBar(), &sideways);
  event->setAccepted(sideways.isAccepted());
}

void COrvaneDisplayView::ResizeState() {
  const qreal ratio = devicePixelRatioF();
  state_.Resize(static_cast<int32_t>(viewport()->width() * ratio),
                static_cast<int32_t>(viewport()->height() * ratio));
  UpdateScrollBars();
}

void COrvaneDisplayView::UpdateScrollBars() {
  // The bars follow the state here, not the other way round. Setting a range
  // may show or hide a bar, which resizes the viewport and places the
  // picture again: the placement is read afresh after each call.
  const QScopedValueRollback following(followingState_, true);
  QScrollBar* across = horizontalScrollBar();
  QScrollBar* down = verticalScrollBar();
  across->setRange(0, state_.Placement().scrollRange.x);
  down->setRange(0, state_.Placement().scrollRange.y);
  across->setValue(state_.Placement().scroll.x);
  down->setValue(state_.Placement().scroll.y);
  const qreal ratio = devicePixelRatioF();
  across->setPageStep(std::max(static_cast<int>(viewport()->width() * ratio), 1));
  down->setPageStep(std::max(static_cast<int>(viewport()->height() * ratio), 1));
  const int step = std::max(static_cast<int>(kScrollStep * ratio), 1);
  across->setSingleStep(step);
  down->setSingleStep(step);
  viewport()->update();
}
