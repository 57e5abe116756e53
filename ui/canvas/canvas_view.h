#pragma once

#include <QElapsedTimer>
#include <QPointF>
#include <QWidget>

#include "ui/canvas/image_canvas.h"

namespace backprop {

// A widget that shows an ImageCanvas and reports mouse presses in the
// canvas's user coordinates. The image is kept at the widget's size. The
// second press of a double click is not reported: a double click is one
// press, so it switches a bias neurode once rather than on and off again.
class CanvasView : public QWidget {
  Q_OBJECT

 public:
  CanvasView(const QFont& font, QColor foreground, QColor background, QWidget* parent = nullptr);

  ImageCanvas& Canvas() { return canvas_; }

 signals:
  void Pressed(double x, double y, Qt::MouseButton button);
  void Moved(double x, double y);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  ImageCanvas canvas_;
  QElapsedTimer lastPress_;
  QPointF lastPressAt_;
  bool lastWasDoubleClick_ = false;
};

}  // namespace backprop
