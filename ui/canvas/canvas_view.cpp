// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/canvas/canvas_view.h"

#include <QApplication>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>

#include "engine/net_layout.h"
#include "ui/canvas/repaint_throttle.h"

namespace backprop {

namespace {
constexpr int kDrawingShare = 20;
}  // namespace

CanvasView::CanvasView(const QFont& font, QColor foreground, QColor background, QWidget* parent)
    : QWidget(parent),
      canvas_(QSize(640, 480), font, foreground, background),
      // While training redraws the net, painting it takes at most one part
      // in twenty of the time: a large net is still redrawn many times a
      // second, and training keeps its pace.
      repaint_(new RepaintThrottle(
          this,
          [this] {
            if (prepare_) prepare_();
            canvas_.FollowFit();
          },
          kDrawingShare)) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  canvas_.SetChangedCallback([this] { RequestRepaint(); });
}

// The canvas's listener refers to this widget; it must not outlive it.
CanvasView::~CanvasView() { canvas_.SetChangedCallback({}); }

QPointF CanvasView::PixelsPerUnit() const {
  const UserScale& s = canvas_.Scale();
  return {width() / (s.right - s.left), height() / (s.bottom - s.top)};
}

void CanvasView::SetRepaintPreparation(std::function<void()> prepare) {
  prepare_ = std::move(prepare);
}

void CanvasView::RequestRepaint() { repaint_->Request(); }

QPointF CanvasView::ToUser(QPointF pixel) const {
  return PixelToUser(canvas_.Scale(), QSizeF(size()), pixel);
}

QPointF CanvasView::ToPixel(QPointF user) const {
  return UserToPixel(canvas_.Scale(), QSizeF(size()), user);
}

void CanvasView::MarkLine(QPointF from, QPointF to) {
  marked_ = true;
  markFrom_ = from;
  markTo_ = to;
  update();
}

void CanvasView::MarkPoint(QPointF at) { MarkLine(at, at); }

void CanvasView::ClearMark() {
  if (!marked_) return;
  marked_ = false;
  update();
}

bool CanvasView::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    const auto* help = static_cast<QHelpEvent*>(event);
    const QPointF user = ToUser(help->pos());
    emit ToolTipAsked(user.x(), user.y(), help->globalPos());
    return true;
  }
  return QWidget::event(event);
}

void CanvasView::paintEvent(QPaintEvent*) {
  // Moved to a screen of another density: the picture follows it.
  if (canvas_.Image().devicePixelRatio() != devicePixelRatioF()) {
    canvas_.Resize(size(), devicePixelRatioF());
  }
  QPainter painter(this);
  painter.drawImage(rect(), canvas_.Image());
  if (!marked_) return;
  // A broad translucent amber stroke, so the marked element stands out
  // whatever its own colour.
  painter.setRenderHint(QPainter::Antialiasing);
  const QColor amber(255, 170, 0, 150);
  const QPointF from = ToPixel(markFrom_);
  const QPointF to = ToPixel(markTo_);
  if (from == to) {
    painter.setPen(QPen(amber, 4));
    painter.setBrush(Qt::NoBrush);
    const double r = kNeurodeRadius * PixelsPerUnit().x() + 5;
    painter.drawEllipse(from, r, r);
  } else {
    painter.setPen(QPen(amber, 8, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(from, to);
  }
}

void CanvasView::resizeEvent(QResizeEvent*) { canvas_.Resize(size(), devicePixelRatioF()); }

void CanvasView::mousePressEvent(QMouseEvent* event) {
  const QPointF at = event->position();
  const quint64 time = event->timestamp();
  const bool secondOfDouble =
      !lastWasDoubleClick_ && pressedBefore_ && time >= lastPressTime_ &&
      time - lastPressTime_ < static_cast<quint64>(QApplication::doubleClickInterval()) &&
      (at - lastPressAt_).manhattanLength() <= QApplication::startDragDistance();
  lastWasDoubleClick_ = secondOfDouble;
  pressedBefore_ = true;
  lastPressTime_ = time;
  lastPressAt_ = at;
  if (secondOfDouble) return;
  const QPointF user = ToUser(at);
  emit Pressed(user.x(), user.y(), event->button());
}

// Qt turns a double-click event into a press by default; it is not one.
void CanvasView::mouseDoubleClickEvent(QMouseEvent* event) {
  event->accept();
  const QPointF user = ToUser(event->position());
  emit DoubleClicked(user.x(), user.y());
}

void CanvasView::mouseMoveEvent(QMouseEvent* event) {
  const QPointF user = ToUser(event->position());
  emit Moved(user.x(), user.y());
}

}  // namespace backprop
