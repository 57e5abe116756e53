// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointF>
#include <QWidget>

#include <functional>

#include "ui/canvas/image_canvas.h"

namespace backprop {

class RepaintThrottle;

// A widget that shows an ImageCanvas, kept at the widget's size and at the
// pixel density of its screen, and reports the mouse in the canvas's user
// coordinates (a fitted picture's too). The second press of a
// double click is not reported as a press: a double click is one press, so
// it switches a bias neurode once rather than on and off again; it is
// reported as a double click instead. The widget repaints no more often than
// the screen can show.
class CanvasView : public QWidget {
  Q_OBJECT

 public:
  CanvasView(const QFont& font, QColor foreground, QColor background, QWidget* parent = nullptr);
  ~CanvasView() override;

  ImageCanvas& Canvas() { return canvas_; }
  const ImageCanvas& Canvas() const { return canvas_; }
  // Pixels per user unit across and down, at the widget's present size.
  QPointF PixelsPerUnit() const;
  // Runs before every repaint (to hand over drawing held back elsewhere);
  // the picture then follows its fit.
  void SetRepaintPreparation(std::function<void()> prepare);
  // Schedules a repaint at the screen's rate.
  void RequestRepaint();
  // Marks a line or a point of the drawing (user coordinates) over the
  // picture, without drawing into it; ClearMark removes the mark.
  void MarkLine(QPointF from, QPointF to);
  void MarkPoint(QPointF at);
  void ClearMark();

 signals:
  void Pressed(double x, double y, Qt::MouseButton button);
  void DoubleClicked(double x, double y);
  void Moved(double x, double y);
  // The pointer rests at (x, y); a listener may show a tooltip at `global`.
  void ToolTipAsked(double x, double y, QPoint global);

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  QPointF ToUser(QPointF pixel) const;
  QPointF ToPixel(QPointF user) const;

  // The mark over the picture: a line from markFrom_ to markTo_, or a
  // point when both are the same.
  bool marked_ = false;
  QPointF markFrom_;
  QPointF markTo_;

  ImageCanvas canvas_;
  RepaintThrottle* repaint_;
  std::function<void()> prepare_;
  // The last press, by the time the window system gave it.
  bool pressedBefore_ = false;
  quint64 lastPressTime_ = 0;
  QPointF lastPressAt_;
  bool lastWasDoubleClick_ = false;
};

}  // namespace backprop
