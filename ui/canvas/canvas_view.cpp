#include "ui/canvas/canvas_view.h"

#include <QMouseEvent>
#include <QPainter>

namespace backprop {

CanvasView::CanvasView(const QFont& font, QColor foreground, QColor background, QWidget* parent)
    : QWidget(parent), canvas_(QSize(640, 480), font, foreground, background) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  // Repaints are only scheduled; Qt merges them into one per frame.
  canvas_.SetChangedCallback([this] { update(); });
}

void CanvasView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawImage(rect(), canvas_.Image());
}

void CanvasView::resizeEvent(QResizeEvent*) { canvas_.Resize(size()); }

void CanvasView::mousePressEvent(QMouseEvent* event) {
  const QPointF user = PixelToUser(canvas_.Scale(), QSizeF(size()), event->position());
  emit Pressed(user.x(), user.y(), event->button());
}

void CanvasView::mouseMoveEvent(QMouseEvent* event) {
  const QPointF user = PixelToUser(canvas_.Scale(), QSizeF(size()), event->position());
  emit Moved(user.x(), user.y());
}

}  // namespace backprop
