#include "ui/canvas/canvas_view.h"

#include <QApplication>
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
  const QPointF at = event->position();
  const bool secondOfDouble = !lastWasDoubleClick_ && lastPress_.isValid() &&
                              lastPress_.elapsed() < QApplication::doubleClickInterval() &&
                              (at - lastPressAt_).manhattanLength() <=
                                  QApplication::startDragDistance();
  lastWasDoubleClick_ = secondOfDouble;
  lastPress_.restart();
  lastPressAt_ = at;
  if (secondOfDouble) return;
  const QPointF user = PixelToUser(canvas_.Scale(), QSizeF(size()), at);
  emit Pressed(user.x(), user.y(), event->button());
}

// Qt turns a double-click event into a press by default; it is not one.
void CanvasView::mouseDoubleClickEvent(QMouseEvent* event) { event->accept(); }

void CanvasView::mouseMoveEvent(QMouseEvent* event) {
  const QPointF user = PixelToUser(canvas_.Scale(), QSizeF(size()), event->position());
  emit Moved(user.x(), user.y());
}

}  // namespace backprop
