#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class QWidget;

namespace backprop {

// Repaints a widget no more often than the screen can show: a request
// within one frame of the last repaint is merged into one repaint at the
// end of that frame. Drawing during training asks for many repaints.
class RepaintThrottle : public QObject {
  Q_OBJECT

 public:
  explicit RepaintThrottle(QWidget* target);

  // Schedules a repaint of the target, now or at the end of the frame.
  void Request();
  // The shortest time between two repaints, from the screen's refresh rate.
  int FrameMilliseconds() const { return frameMs_; }

 private:
  void RepaintNow();

  QWidget* target_;
  int frameMs_;
  QElapsedTimer sinceRepaint_;
  QTimer pending_;
};

}  // namespace backprop
